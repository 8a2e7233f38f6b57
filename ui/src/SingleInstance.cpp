#include "ui/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zemvalkorta {

SingleInstanceGuard::SingleInstanceGuard(QString lockFilePath)
    : path_(lockFilePath.isEmpty() ? DefaultLockFilePath() : std::move(lockFilePath)) {}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

bool SingleInstanceGuard::TryAcquire() {
    if (descriptor_ >= 0) return true;
    const QByteArray native = QFile::encodeName(path_);
    // O_CLOEXEC: a child such as the virtual instrument must not inherit the lock.
    const int descriptor = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) return false;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    return true;
}

QString SingleInstanceGuard::DefaultLockFilePath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        // Without a runtime folder the lock lives in a per-user folder under /tmp.
        folder = QDir::tempPath() + QStringLiteral("/zemvalkorta-%1").arg(::getuid());
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder + QStringLiteral("/zemvalkorta.lock");
}

QString SingleInstanceGuard::RefusalText() {
    return QStringLiteral("Копия данной программы уже запущена.\nПовторный запуск программы не разрешен.");
}

}  // namespace zemvalkorta
