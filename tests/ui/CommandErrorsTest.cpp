// How a failing command reaches the operator: the wording by the storage
// error's kind, and handlers whose exceptions end in a message box instead of
// Qt's event loop.

#include <QAction>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

#include "UiTestSupport.h"
#include "storage/DatabaseError.h"
#include "ui/ColorComboBox.h"
#include "ui/CommandErrors.h"
#include "ui/DeviceScreenShotForm.h"
#include "ui/MessageBoxes.h"

using namespace zemvalkorta;

namespace {

class ShownMessages {
public:
    ShownMessages() {
        SetMessageResponder([this](const MessageRequest& request) {
            Shown.append(request);
            return MessageAnswer::Ok;
        });
    }
    ~ShownMessages() { SetMessageResponder({}); }
    ShownMessages(const ShownMessages&) = delete;
    ShownMessages& operator=(const ShownMessages&) = delete;

    QList<MessageRequest> Shown;
};

class Target : public QWidget {
public:
    void Fail() {
        ++Calls;
        throw DatabaseError("lock conflict on no wait transaction", DatabaseErrorKind::LockConflict);
    }
    int Calls = 0;
};

}  // namespace

class CommandErrorsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each storage kind has words of its own and keeps the engine's report
    // behind the details; an engine failure without better words shows its report.
    void StorageErrorsAreWordedByTheirKind() {
        const QString detail = QStringLiteral("engine report");
        QSet<QString> texts;
        for (DatabaseErrorKind kind :
             {DatabaseErrorKind::LockConflict, DatabaseErrorKind::DiskFull, DatabaseErrorKind::FileRefused}) {
            const ErrorWording wording = WordDatabaseError(kind, detail);
            QVERIFY(!wording.Text.contains(detail));
            QVERIFY(!wording.Text.isEmpty());
            QCOMPARE(wording.Details, detail);
            texts.insert(wording.Text);
        }
        QCOMPARE(texts.size(), 3);
        const ErrorWording engine = WordDatabaseError(DatabaseErrorKind::EngineFailure, detail);
        QCOMPARE(engine.Text, detail);
        QVERIFY(engine.Details.isEmpty());
    }

    void OtherErrorsShowTheirOwnMessage() {
        const ErrorWording file =
            WordError(std::make_exception_ptr(std::runtime_error("Не удалось записать файл /x/y.ini")));
        QCOMPARE(file.Text, QStringLiteral("Не удалось записать файл /x/y.ini"));
        const ErrorWording lock =
            WordError(std::make_exception_ptr(DatabaseError("deadlock", DatabaseErrorKind::LockConflict)));
        QCOMPARE(lock.Text, WordDatabaseError(DatabaseErrorKind::LockConflict, QString()).Text);
        QCOMPARE(lock.Details, QStringLiteral("deadlock"));
        QCOMPARE(WordError(std::make_exception_ptr(42)).Text, QStringLiteral("Неизвестная ошибка"));
    }

    // A member slot behind an action whose signal carries an argument, and a
    // lambda that takes it: both fail into one error box each, with the
    // application's title, and can be started again.
    void FailingHandlersShowTheirErrorAndStayUsable() {
        ShownMessages messages;
        Target target;
        QAction action(&target);
        ConnectCommand(&action, &QAction::triggered, &target, &Target::Fail);
        QPushButton button(&target);
        bool checkedSeen = true;
        ConnectCommand(&button, &QPushButton::clicked, &target, [&checkedSeen](bool checked) {
            checkedSeen = checked;
            throw std::runtime_error("file cannot be written");
        });

        action.trigger();
        action.trigger();
        button.click();
        QCOMPARE(target.Calls, 2);
        QCOMPARE(checkedSeen, false);
        QCOMPARE(messages.Shown.size(), 3);
        for (const MessageRequest& shown : messages.Shown) {
            QCOMPARE(shown.Icon, MessageIcon::Error);
            QCOMPARE(shown.Caption, QString::fromUtf8(ApplicationTitle));
            QCOMPARE(shown.Buttons, MessageButtons::Ok);
        }
        QCOMPARE(messages.Shown[0].Text, WordDatabaseError(DatabaseErrorKind::LockConflict, QString()).Text);
        QCOMPARE(messages.Shown[0].Details, QStringLiteral("lock conflict on no wait transaction"));
        QCOMPARE(messages.Shown[2].Text, QStringLiteral("file cannot be written"));
    }

    // Started from the event loop itself (a queued call), the failure still
    // ends in the box: nothing unwinds through the loop, which goes on.
    void FailureInsideTheEventLoopDoesNotReachIt() {
        ShownMessages messages;
        Target target;
        QTimer timer;
        timer.setSingleShot(true);
        ConnectCommand(&timer, &QTimer::timeout, &target, &Target::Fail);
        timer.start(0);
        bool after = false;
        QTimer::singleShot(20, &target, [&after] { after = true; });
        QTRY_VERIFY(after);
        QCOMPARE(target.Calls, 1);
        QCOMPARE(messages.Shown.size(), 1);
    }

    // The screen picture's file cannot be written: the button's and the
    // colour box's commands end in the error naming the file, and neither
    // closes the dialog.
    void UnwritablePictureFileIsReportedByTheDialog() {
        ShownMessages messages;
        TDeviceScreenShotForm form(nullptr);
        const QString file = QStringLiteral("/nonexistent-folder/screen.bmp");
        form.SetFileName(file);
        form.GetPictureButton->click();
        Q_EMIT form.PenColorComboBox->ColorPicked(form.PenColor());
        QCOMPARE(messages.Shown.size(), 2);
        for (const MessageRequest& shown : messages.Shown) {
            QVERIFY2(shown.Text.contains(file), qPrintable(shown.Text));
            QCOMPARE(shown.Icon, MessageIcon::Error);
        }
        QCOMPARE(form.result(), 0);
    }

    void RunCommandTellsWhetherTheCommandEnded() {
        ShownMessages messages;
        QVERIFY(RunCommand(nullptr, [] {}));
        QVERIFY(messages.Shown.isEmpty());
        QVERIFY(!RunCommand(nullptr, [] { throw DatabaseError("full", DatabaseErrorKind::DiskFull); }));
        QCOMPARE(messages.Shown.size(), 1);
        QCOMPARE(messages.Shown[0].Text, WordDatabaseError(DatabaseErrorKind::DiskFull, QString()).Text);
    }
};

ZEMVALKORTA_UI_TEST_MAIN(CommandErrorsTest)
#include "CommandErrorsTest.moc"
