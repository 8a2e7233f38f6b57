// The settings file: read once at start-up, written once when the window closes.

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <algorithm>
#include <exception>

#include "storage/Settings.h"
#include "storage/WindowPlacement.h"
#include "ui/Application.h"
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
    try {
        const std::string file = QFile::encodeName(SettingsPath).toStdString();
        zemvalkorta::SaveSettings(file, CurrentSettings);
        SaveWindowPlacement(file, CurrentPlacement());
    } catch (const std::exception& error) {
        ShowErrorMessage(QString::fromUtf8(error.what()));
    }
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
    const int right = std::max(placement.RightPartWidth, RightPartMinimumWidth());
    MainSplitter->setSizes({std::max(0, wanted.width() - right), right});
    if (placement.CommentPanelHeight >= 50) {
        const int pages = std::max(50, CommentSplitter->height() - placement.CommentPanelHeight);
        CommentSplitter->setSizes({pages, placement.CommentPanelHeight});
    }
    if (placement.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

}  // namespace zemvalkorta
