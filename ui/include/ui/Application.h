#pragma once

// The application object: catches every error that no routine handled at the
// event-loop boundary, ends the command that raised it and shows its message,
// so that the main window stays usable.

#include <QApplication>

namespace zemvalkorta {

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Loads Qt's own Russian texts (dialog buttons, file dialogs).
    void InstallRussianTranslations();
};

// The generic error display; also used where an error is caught by hand.
void ShowErrorMessage(const QString& text);

}  // namespace zemvalkorta
