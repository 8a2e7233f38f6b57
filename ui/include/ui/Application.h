#pragma once

// The application object. Errors never reach its event loop: each command
// handler runs inside RunCommand (CommandErrors.h).

#include <QApplication>

namespace zemvalkorta {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    // Loads Qt's own Russian texts (dialog buttons, file dialogs).
    void InstallRussianTranslations();
};

// An error box with the application's title over the active window.
void ShowErrorMessage(const QString& text);

}  // namespace zemvalkorta
