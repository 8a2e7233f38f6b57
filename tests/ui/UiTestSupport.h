#pragma once

// Shared by the window tests: a message handler that fails on any Qt warning,
// a comma locale, and answering the next modal dialog from inside its loop.

#include <QApplication>
#include <QDialog>
#include <QLocale>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "ui/LocaleNumbers.h"

namespace zemvalkorta::testing {

inline void FailOnWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    // The offscreen platform says this of every shown window; it is not ours.
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    // Said by the platform at start-up on machines without a login session.
    if (message.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        fprintf(stderr, "Qt warning: %s\n", qPrintable(message));
        std::abort();
    }
}

inline void UseRussianLocale() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ApplyLocaleNumberFormat();
}

// Runs `answer` on the next modal dialog of type T as soon as it is shown;
// gives up after `attempts` polls or when `context` is destroyed.
template <typename T>
void AnswerNextDialog(QObject* context, std::function<void(T&)> answer, int attempts = 200) {
    QTimer::singleShot(10, context, [context, answer, attempts] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            answer(*dialog);
        } else if (attempts > 0) {
            AnswerNextDialog<T>(context, answer, attempts - 1);
        }
    });
}

}  // namespace zemvalkorta::testing

#define ZEMVALKORTA_UI_TEST_MAIN(TestClass)                          \
    int main(int argc, char** argv) {                                \
        qputenv("QT_QPA_PLATFORM", "offscreen");                     \
        qInstallMessageHandler(zemvalkorta::testing::FailOnWarning); \
        QApplication application(argc, argv);                        \
        zemvalkorta::testing::UseRussianLocale();                    \
        TestClass test;                                              \
        return QTest::qExec(&test, argc, argv);                      \
    }
