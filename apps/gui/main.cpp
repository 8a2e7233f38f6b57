// zemvalkorta [PROJECT]: the program's window, opening PROJECT if one is
// named. Start-up order: the single-instance guard, the application title,
// the data module, then the main window.

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStringList>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "TerminationSignals.h"
#include "apps/ProgramOptions.h"
#include "report/LocaleFormat.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/Application.h"
#include "ui/MainForm.h"
#include "ui/MessageBoxes.h"
#include "ui/SingleInstance.h"

namespace {

constexpr char Program[] = "zemvalkorta";

std::string HelpText() {
    using namespace zemvalkorta::apps;
    return "Usage: zemvalkorta [OPTION]... [PROJECT.fdb]\n"
           "Open the main window of ZEMVALKORTA-1.0, the companion program of the\n"
           "dilatometric frost-resistance instrument (GOST 10060.3-95), with the project\n"
           "PROJECT.fdb if one is named. The window downloads the instrument's\n"
           "measurements into the project, grades every concrete specimen, and shows,\n"
           "prints and exports the results.\n"
           "\n" +
           StandardOptionsHelp() +
           "\n"
           "The options of Qt (-platform NAME, -style NAME, ...) are accepted as well.\n"
           "\n"
           "Files:\n"
           "  ~/.config/zemvalkorta/zemvalkorta.ini\n"
           "         the settings: graph type, curve colours, display picture colours\n"
           "  ~/.local/share/zemvalkorta/projects/\n"
           "         where the project dialogs start\n"
           "  ~/.local/share/zemvalkorta/sceenshot.bmp\n"
           "         the last picture of the instrument's display\n"
           "$XDG_CONFIG_HOME and $XDG_DATA_HOME replace ~/.config and ~/.local/share when set.\n"
           "A program run from its build tree keeps these files beside itself.\n"
           "\n" +
           ReportBugsHelp();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zemvalkorta;
    // Before the application object: --help and --version need no display.
    if (const auto status = apps::HandleStandardOptions(std::vector<std::string>(argv + 1, argv + argc), Program,
                                                        HelpText(), std::cout))
        return *status;
    // Before the application object starts the platform's threads.
    BlockTerminationSignals();
    Application application(argc, argv);
    // Qt has taken its own options out of the arguments by now.
    const QStringList arguments = Application::arguments();
    std::vector<std::string> words;
    for (qsizetype i = 1; i < arguments.size(); ++i) words.push_back(arguments.at(i).toStdString());
    const apps::WindowArguments parsed = apps::ParseWindowArguments(words);
    if (!parsed.Error.empty()) {
        std::cerr << Program << ": " << parsed.Error << '\n' << apps::TryHelpText(Program) << '\n';
        return apps::ExitUsage;
    }
    application.InstallRussianTranslations();
    ApplyLocaleFormatSettings();

    SingleInstanceGuard guard;
    if (!guard.TryAcquire()) {
        ShowMessage(nullptr, SingleInstanceGuard::RefusalText(), MessageIcon::Error);
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
        if (parsed.Project) mainForm.OpenProjectAtStart(QString::fromStdString(*parsed.Project));
        exitCode = Application::exec();
    }
    return exitCode;
}
