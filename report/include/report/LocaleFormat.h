#pragma once

// The number separators of the user's locale, as the environment gives it
// (LC_ALL, then LC_NUMERIC, then LANG), for the texts that people read: the
// report and the text export. Machine-read output keeps its full stops.

#include <QLocale>

#include "core/NumberFormat.h"

namespace zemvalkorta {

FormatSettings LocaleFormatSettings(const QLocale& locale = QLocale());

// Makes the locale's separators the process-wide default of FormatFloat.
void ApplyLocaleFormatSettings();

}  // namespace zemvalkorta
