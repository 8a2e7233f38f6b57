#include "ui/CommandErrors.h"

#include <QApplication>
#include <QWidget>

#include "ui/MessageBoxes.h"

namespace zemvalkorta {

ErrorWording WordDatabaseError(DatabaseErrorKind kind, const QString& detail) {
    switch (kind) {
        case DatabaseErrorKind::LockConflict:
            return {QStringLiteral("Данные проекта заняты другой программой. Повторите действие позже."), detail};
        case DatabaseErrorKind::DiskFull:
            return {QStringLiteral("Не удалось записать файл проекта: нет места на диске или ошибка записи."), detail};
        case DatabaseErrorKind::FileRefused:
            return {QStringLiteral("Файл не является проектом этой версии, повреждён или не может быть открыт."),
                    detail};
        case DatabaseErrorKind::EngineFailure:
            break;
    }
    // Our own checks and the rarer engine failures have no better words than their own.
    return {detail, QString()};
}

ErrorWording WordError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const DatabaseError& failure) {
        return WordDatabaseError(failure.Kind(), QString::fromUtf8(failure.what()));
    } catch (const std::exception& failure) {
        return {QString::fromUtf8(failure.what()), QString()};
    } catch (...) {
    }
    return {QStringLiteral("Неизвестная ошибка"), QString()};
}

void ShowError(QWidget* parent, const std::exception_ptr& error) {
    const ErrorWording wording = WordError(error);
    ShowMessage(parent != nullptr ? parent : QApplication::activeWindow(), wording.Text, MessageIcon::Error,
                MessageButtons::Ok, ApplicationTitle, wording.Details);
}

bool RunCommand(QWidget* parent, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (...) {
        ShowError(parent, std::current_exception());
    }
    return false;
}

}  // namespace zemvalkorta
