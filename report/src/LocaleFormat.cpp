#include "report/LocaleFormat.h"

namespace zemvalkorta {

FormatSettings LocaleFormatSettings(const QLocale& locale) {
    return FormatSettings{locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
}

void ApplyLocaleFormatSettings() { SetDefaultFormatSettings(LocaleFormatSettings()); }

}  // namespace zemvalkorta
