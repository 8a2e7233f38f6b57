#include "ui/MessageBoxes.h"

#include <QMessageBox>
#include <utility>

namespace zemvalkorta {
namespace {

MessageResponder& Responder() {
    static MessageResponder responder;
    return responder;
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

}  // namespace

MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageIcon icon, MessageButtons buttons,
                          const QString& caption, const QString& details) {
    const MessageRequest request{caption, text, icon, buttons, details};
    if (Responder()) return Responder()(request);

    // An empty title would make the window system show the application's name instead; a blank shows nothing.
    QMessageBox box(ToQtIcon(icon), caption.isEmpty() ? QStringLiteral(" ") : caption, text, ToQtButtons(buttons),
                    parent);
    box.setWindowModality(Qt::ApplicationModal);
    if (!details.isEmpty()) box.setDetailedText(details);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            break;
    }
    // Closing a question box by its close button counts as the safe answer.
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

MessageResponder SetMessageResponder(MessageResponder responder) {
    return std::exchange(Responder(), std::move(responder));
}

}  // namespace zemvalkorta
