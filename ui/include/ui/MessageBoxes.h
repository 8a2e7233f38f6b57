#pragma once

// Every message to the operator goes through ShowMessage so that tests can
// answer the boxes without a modal loop (SetMessageResponder).

#include <QString>
#include <functional>

class QWidget;

namespace zemvalkorta {

inline constexpr char ApplicationTitle[] = "ZEMVALKORTA-1.0";

enum class MessageIcon { None, Error, Warning, Information };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString Caption;
    QString Text;
    MessageIcon Icon = MessageIcon::None;
    MessageButtons Buttons = MessageButtons::Ok;
    QString Details;  // behind the box's "details" button, e.g. the engine's reason
};

using MessageResponder = std::function<MessageAnswer(const MessageRequest&)>;

// Shows a modal box; the caption defaults to the application title.
MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::Ok, const QString& caption = ApplicationTitle,
                          const QString& details = QString());

// Replaces the modal box (tests); an empty responder restores it. Returns the previous one.
MessageResponder SetMessageResponder(MessageResponder responder);

}  // namespace zemvalkorta
