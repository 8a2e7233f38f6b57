#pragma once

// How a command's failure reaches the operator. Qt does not let exceptions
// pass through its event loop, so every handler that the operator starts
// (an action, a button, a menu entry, a closing window) runs inside
// RunCommand: a failure ends that command only, its message is shown, and
// the window goes on.

#include <QObject>
#include <QString>
#include <concepts>
#include <exception>
#include <functional>

#include "storage/DatabaseError.h"

class QWidget;

namespace zemvalkorta {

struct ErrorWording {
    QString Text;
    QString Details;  // the engine's own report, behind the box's details button
};

// The one place where a storage failure is put into words.
ErrorWording WordDatabaseError(DatabaseErrorKind kind, const QString& detail);
// Any failure: storage errors by their kind, every other by its own message.
ErrorWording WordError(const std::exception_ptr& error);

// Shows the failure in an error box with the application's title.
void ShowError(QWidget* parent, const std::exception_ptr& error);

// Runs the command; a failure is shown and swallowed. Returns whether the
// command ran to its end.
bool RunCommand(QWidget* parent, const std::function<void()>& command);

// connect() for a command handler: the slot (a member of the receiver or any
// callable) runs inside RunCommand, with the receiver as the message's parent.
template <typename Sender, typename Signal, typename Receiver, typename Slot>
QMetaObject::Connection ConnectCommand(const Sender* sender, Signal signal, Receiver* receiver, Slot slot) {
    return QObject::connect(
        sender, signal, receiver,
        [ receiver,
          slot ](const auto&... arguments) requires std::invocable<const Slot&, Receiver*, decltype(arguments)...> ||
            std::invocable<const Slot&, decltype(arguments)...> {
                RunCommand(receiver, [&] {
                    if constexpr (std::invocable<const Slot&, Receiver*, decltype(arguments)...>)
                        std::invoke(slot, receiver, arguments...);
                    else
                        std::invoke(slot, arguments...);
                });
            });
}

}  // namespace zemvalkorta
