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
    const std::string file = QFile::encodeName(SettingsPath).toStdString();
    CurrentSettings = zemvalkorta::LoadSettings(file);
    CurrentSettings.NewProcessing = true;
    StoredPlacement = LoadWindowPlacement(file);
}

void TMainForm::SaveSettings() {
    // A settings file that cannot be written must not keep the program from closing.
    RunCommand(this, [this] {
        const std::string file = QFile::encodeName(SettingsPath).toStdString();
        zemvalkorta::SaveSettings(file, CurrentSettings);
        SaveWindowPlacement(file, CurrentPlacement());
    });
}

TWindowPlacement TMainForm::CurrentPlacement() const {
    const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    TWindowPlacement placement;
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
class TFirstLayout : public QObject {
public:
    TFirstLayout(QSplitter* splitter, std::function<void(QSplitter*)> apply)
        : QObject(splitter), Apply(std::move(apply)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* splitter = static_cast<QSplitter*>(watched);
        if (event->type() == QEvent::Resize && Apply && splitter->width() > 0 && splitter->height() > 0) {
            std::exchange(Apply, nullptr)(splitter);
            splitter->removeEventFilter(this);
        }
        return false;
    }

private:
    std::function<void(QSplitter*)> Apply;
};

void WhenFirstLaidOut(QSplitter* splitter, std::function<void(QSplitter*)> apply) {
    splitter->installEventFilter(new TFirstLayout(splitter, std::move(apply)));
}

}  // namespace

void TMainForm::RestorePlacement() {
    if (!StoredPlacement) {
        // First start: centred on the desktop.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        return;
    }
    const TWindowPlacement& placement = *StoredPlacement;
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
