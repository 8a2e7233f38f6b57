#pragma once

// Numbers as the operator sees them: picture patterns written with the
// desktop's decimal separator, and texts read back in the same locale.

#include <QChar>
#include <QString>
#include <optional>

class QLineEdit;
class QObject;

namespace zemvalkorta {

// The separators come from report/LocaleFormat.h (ApplyLocaleFormatSettings at start-up).

QChar DecimalSeparator();

// A picture pattern such as "0.0" or "0.00E+00" with the current separators.
QString FormatPattern(const char* pattern, double value);

// The text as a number (surrounding blanks allowed, comma or full stop);
// empty texts, "?" and anything that is not a whole number give nothing.
std::optional<double> ParseLocaleNumber(const QString& text);

// Keeps, of the keys typed into an edit, only backspace, the digits, the
// decimal separator (a typed comma or full stop becomes it) and `extraCharacters`.
void InstallNumberKeyFilter(QLineEdit* edit, const QString& extraCharacters);

}  // namespace zemvalkorta
