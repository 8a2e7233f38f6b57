// zemvalkorta [PROJECT]: the program's window, opening PROJECT if one is
// named. Start-up order: the single-instance guard, the application title,
// the data module, then the main window.

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStringList>
#include <cstdlib>

#include "TerminationSignals.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/Application.h"
#include "ui/LocaleNumbers.h"
#include "ui/MainForm.h"
#include "ui/MessageBoxes.h"
#include "ui/SingleInstance.h"

int main(int argc, char** argv) {
    using namespace zemvalkorta;
    // Before the application object starts the platform's threads.
    BlockTerminationSignals();
    TApplication application(argc, argv);
    application.InstallRussianTranslations();
    ApplyLocaleNumberFormat();

    TSingleInstanceGuard guard;
    if (!guard.TryAcquire()) {
        ShowMessage(nullptr, TSingleInstanceGuard::RefusalText(), MessageIcon::Error);
        return 0;
    }
    // The data module outlives the window; closing it keeps the project as last saved.
    TMainDataModule dataModule;
    int exitCode = 0;
    {
        TMainForm mainForm(dataModule);
        // SIGTERM, SIGINT or SIGHUP is the operator closing the window: the
        // save question comes when changes are pending. A second one ends the
        // program at once without saving; the file stays as last saved.
        int requests = 0;
        QSocketNotifier requestNotifier(TerminationSignalDescriptor(), QSocketNotifier::Read);
        requestNotifier.setEnabled(TerminationSignalDescriptor() >= 0);
        QObject::connect(&requestNotifier, &QSocketNotifier::activated, &mainForm, [&] {
            const int signal = TakeTerminationSignal();
            if (signal == 0) return;
            if (++requests == 1 && QApplication::activeModalWidget() == nullptr) {
                mainForm.close();
                return;
            }
            if (requests == 1) return;  // a question is open: the operator answers it, or a second signal ends
            dataModule.CloseProject();
            std::_Exit(128 + signal);
        });
        mainForm.show();
        const QStringList arguments = TApplication::arguments();
        if (arguments.size() > 1) mainForm.OpenProjectAtStart(arguments.at(1));
        exitCode = TApplication::exec();
    }
    return exitCode;
}
