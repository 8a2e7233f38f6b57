// zemvalkorta [PROJECT]: the program's window, opening PROJECT if one is
// named. Start-up order: the single-instance guard, the application title,
// the data module, then the main window.

#include <QMessageBox>
#include <QStringList>

#include "storage/MainDataModuleUnit.h"
#include "ui/Application.h"
#include "ui/LocaleNumbers.h"
#include "ui/MainForm.h"
#include "ui/MessageBoxes.h"
#include "ui/SingleInstance.h"

int main(int argc, char** argv) {
    using namespace zemvalkorta;
    TApplication application(argc, argv);
    application.InstallRussianTranslations();
    ApplyLocaleNumberFormat();

    TSingleInstanceGuard guard;
    if (!guard.TryAcquire()) {
        ShowMessage(nullptr, TSingleInstanceGuard::RefusalText(), MessageIcon::Error);
        return 0;
    }
    // The data module outlives the window: closing it commits the project's transaction.
    TMainDataModule dataModule;
    int exitCode = 0;
    {
        TMainForm mainForm(dataModule);
        mainForm.show();
        const QStringList arguments = TApplication::arguments();
        if (arguments.size() > 1) mainForm.OpenProjectAtStart(arguments.at(1));
        exitCode = TApplication::exec();
    }
    return exitCode;
}
