#include "ui/Application.h"

#include <QLibraryInfo>
#include <QTranslator>

#include "ui/MessageBoxes.h"

namespace zemvalkorta {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) { setApplicationName(ApplicationTitle); }

void Application::InstallRussianTranslations() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_ru", "qt_ru"}) {
        auto* translator = new QTranslator(this);
        if (translator->load(QString::fromLatin1(name), folder))
            installTranslator(translator);
        else
            delete translator;
    }
}

void ShowErrorMessage(const QString& text) { ShowMessage(QApplication::activeWindow(), text, MessageIcon::Error); }

}  // namespace zemvalkorta
