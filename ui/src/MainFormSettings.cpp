// The settings file: read once at start-up, written once when the window closes.

#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <algorithm>
#include <exception>
#include <functional>
#include <utility>

#include "storage/Settings.h"
#include "storage/WindowPlacement.h"
#include "ui/CommandErrors.h"
#include "ui/MainForm.h"

namespace zemvalkorta {

void TMainForm::LoadSettings() {
    const std::string file = QFile::encodeName(settingsPath_).toStdString();
    currentSettings_ = zemvalkorta::LoadSettings(file);
    currentSettings_.NewProcessing = true;
    storedPlacement_ = LoadWindowPlacement(file);
}

void TMainForm::SaveSettings() {
    // A settings file that cannot be written must not keep the program from closing.
    RunCommand(this, [this] {
        const std::string file = QFile::encodeName(settingsPath_).toStdString();
        zemvalkorta::SaveSettings(file, currentSettings_);
        SaveWindowPlacement(file, CurrentPlacement());
    });
}

WindowPlacement TMainForm::CurrentPlacement() const {
    const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    WindowPlacement placement;
    placement.Left = normal.x();
    placement.Top = normal.y();
    placement.Width = normal.width();
    placement.Height = normal.height();
    placement.Maximized = isMaximized();
    placement.RightPartWidth = MainSplitter->sizes().value(1);
    placement.CommentPanelHeight = CommentSplitter->sizes().value(1);
    return placement;
}

namespace {

// Runs `apply` once, at the splitter's first resize to a real size.
class FirstLayout : public QObject {
public:
    FirstLayout(QSplitter* splitter, std::function<void(QSplitter*)> apply)
        : QObject(splitter), apply_(std::move(apply)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* splitter = static_cast<QSplitter*>(watched);
        if (event->type() == QEvent::Resize && apply_ && splitter->width() > 0 && splitter->height() > 0) {
            std::exchange(apply_, nullptr)(splitter);
            splitter->removeEventFilter(this);
        }
        return false;
    }

private:
    std::function<void(QSplitter*)> apply_;
};

void WhenFirstLaidOut(QSplitter* splitter, std::function<void(QSplitter*)> apply) {
    splitter->installEventFilter(new FirstLayout(splitter, std::move(apply)));
}

}  // namespace

void TMainForm::RestorePlacement() {
    if (!storedPlacement_) {
        // First start: centred on the desktop.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        return;
    }
    const WindowPlacement& placement = *storedPlacement_;
    QRect wanted(placement.Left, placement.Top, std::max(placement.Width, minimumWidth()),
                 std::max(placement.Height, minimumHeight()));
    // A window saved on a screen that is gone, or larger than the screen now, comes back inside it.
    const QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        wanted.setSize(wanted.size().boundedTo(available.size()).expandedTo(minimumSize()));
        wanted.moveLeft(std::clamp(wanted.left(), available.left(),
                                   std::max(available.left(), available.right() - wanted.width() + 1)));
        wanted.moveTop(std::clamp(wanted.top(), available.top(),
                                  std::max(available.top(), available.bottom() - wanted.height() + 1)));
    }
    setGeometry(wanted);
    // The data page is laid out only when a project opens; the splitters take their parts then.
    const int right = std::max(placement.RightPartWidth, RightPartMinimumWidth());
    WhenFirstLaidOut(MainSplitter, [right](QSplitter* splitter) {
        splitter->setSizes({std::max(0, splitter->width() - right), right});
    });
    if (placement.CommentPanelHeight >= 50) {
        const int comment = placement.CommentPanelHeight;
        WhenFirstLaidOut(CommentSplitter, [comment](QSplitter* splitter) {
            splitter->setSizes({std::max(50, splitter->height() - comment), comment});
        });
    }
    if (placement.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

}  // namespace zemvalkorta
