#include "ui/LocaleNumbers.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>

#include "core/NumberFormat.h"

namespace zemvalkorta {
namespace {

bool IsDialogKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab ||
           key == Qt::Key_Backtab;
}

class NumberKeyFilter : public QObject {
public:
    NumberKeyFilter(QObject* parent, QString extraCharacters)
        : QObject(parent), extraCharacters_(std::move(extraCharacters)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        // Navigation and editing keys carry no text and stay untouched; Enter, Esc and Tab carry
        // control characters but belong to the dialog (default button, cancel, focus), not to the field.
        if (key->text().isEmpty() || IsDialogKey(key->key()) || key->key() == Qt::Key_Backspace) return false;
        if (key->text().size() != 1) return true;
        QChar typed = key->text().front();
        if (typed == QLatin1Char(',') || typed == QLatin1Char('.')) typed = DecimalSeparator();
        const bool kept = typed.isDigit() && typed.unicode() < 128 ? true
                          : typed == DecimalSeparator()            ? true
                                                                   : extraCharacters_.contains(typed);
        if (!kept) return true;
        if (typed != key->text().front()) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched)) edit->insert(QString(typed));
            return true;
        }
        return false;
    }

private:
    QString extraCharacters_;
};

}  // namespace

QChar DecimalSeparator() {
    const QString separator = QString::fromStdString(DefaultFormatSettings().DecimalSeparator);
    return separator.isEmpty() ? QLatin1Char('.') : separator.front();
}

QString FormatPattern(const char* pattern, double value) { return QString::fromStdString(FormatFloat(pattern, value)); }

std::optional<double> ParseLocaleNumber(const QString& text) {
    double value = 0.0;
    if (!ParseNumber(text.toStdString(), value)) return std::nullopt;
    return value;
}

void InstallNumberKeyFilter(QLineEdit* edit, const QString& extraCharacters) {
    edit->installEventFilter(new NumberKeyFilter(edit, extraCharacters));
}

}  // namespace zemvalkorta
