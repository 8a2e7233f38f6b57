// The settings file: read once at start-up, written once when the window closes.

#include <QFile>
#include <exception>

#include "storage/Settings.h"
#include "ui/Application.h"
#include "ui/MainForm.h"

namespace zemvalkorta {

void TMainForm::LoadSettings() {
    CurrentSettings = zemvalkorta::LoadSettings(QFile::encodeName(SettingsPath).toStdString());
    CurrentSettings.NewProcessing = true;
}

void TMainForm::SaveSettings() {
    // A settings file that cannot be written must not keep the program from closing.
    try {
        zemvalkorta::SaveSettings(QFile::encodeName(SettingsPath).toStdString(), CurrentSettings);
    } catch (const std::exception& error) {
        ShowErrorMessage(QString::fromUtf8(error.what()));
    }
}

}  // namespace zemvalkorta
