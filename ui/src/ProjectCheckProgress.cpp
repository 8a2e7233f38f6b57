#include "ui/ProjectCheckProgress.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QMetaObject>
#include <QProgressDialog>
#include <thread>

#include "storage/ProjectProbe.h"
#include "ui/MessageBoxes.h"

namespace zemvalkorta {

std::string RunCheckWithProgress(QWidget* parent, const QString& label,
                                 const std::function<std::string(const std::atomic<bool>& cancel)>& check) {
    std::atomic<bool> cancel{false};
    std::string result;
    QEventLoop loop;
    QProgressDialog progress(label, QStringLiteral("Отмена"), 0, 0, parent);
    progress.setWindowTitle(QString::fromUtf8(ApplicationTitle));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(static_cast<int>(CheckProgressDelay.count()));
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&cancel] { cancel.store(true); });
    std::thread worker([&] {
        result = check(cancel);
        // Queued: delivered once the loop runs, even when the check was quicker.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return result;
}

std::string CheckProjectWithProgress(QWidget* parent, const std::string& path, std::chrono::milliseconds limit) {
    const QString name = QFileInfo(QString::fromStdString(path)).fileName();
    return RunCheckWithProgress(
        parent, QStringLiteral("Проверка файла проекта %1...").arg(name),
        [&](const std::atomic<bool>& cancel) { return CheckBeforeOpening(path, limit, &cancel); });
}

}  // namespace zemvalkorta
