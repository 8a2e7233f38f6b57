// The single-instance guard: refusal while another process holds it, and
// recovery once that process has ended or was killed.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>

#include "ui/SingleInstance.h"

using namespace zemvalkorta;

namespace {

// Forks a process that takes the guard, reports through a pipe and waits to be killed.
pid_t StartHolder(const QString& path, bool& acquired) {
    int channel[2];
    if (::pipe(channel) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        SingleInstanceGuard guard(path);
        const char result = guard.TryAcquire() ? '1' : '0';
        (void)!::write(channel[1], &result, 1);
        for (;;) ::pause();
    }
    ::close(channel[1]);
    char result = '0';
    acquired = ::read(channel[0], &result, 1) == 1 && result == '1';
    ::close(channel[0]);
    return child;
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void SecondInstanceIsRefusedAndKilledFirstIsForgotten() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("guard.lock"));
        bool holderAcquired = false;
        const pid_t holder = StartHolder(path, holderAcquired);
        QVERIFY(holder > 0);
        QVERIFY(holderAcquired);

        SingleInstanceGuard refused(path);
        QVERIFY(!refused.TryAcquire());

        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        QVERIFY(refused.TryAcquire());
        QVERIFY(refused.TryAcquire());
    }

    void GuardReleasedWhenItsOwnerEnds() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("guard.lock"));
        {
            SingleInstanceGuard first(path);
            QVERIFY(first.TryAcquire());
            SingleInstanceGuard second(path);
            QVERIFY(!second.TryAcquire());
        }
        SingleInstanceGuard next(path);
        QVERIFY(next.TryAcquire());
    }

    void RefusalHasTwoLines() {
        const QStringList lines = SingleInstanceGuard::RefusalText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("Копия данной программы уже запущена."));
        QCOMPARE(lines[1], QStringLiteral("Повторный запуск программы не разрешен."));
        QVERIFY(SingleInstanceGuard::DefaultLockFilePath().endsWith(QStringLiteral("zemvalkorta.lock")));
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
