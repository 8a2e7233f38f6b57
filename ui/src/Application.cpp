#include "ui/Application.h"

#include <QLibraryInfo>
#include <QTranslator>
#include <exception>

#include "ui/MessageBoxes.h"

namespace zemvalkorta {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) { setApplicationName(ApplicationTitle); }

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorMessage(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorMessage(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

void TApplication::InstallRussianTranslations() {
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
