#pragma once

// Shared by the window tests: failing on any Qt warning (at once, or after
// each test function with the warnings named), a comma locale, and answering
// the next modal dialog from inside its loop.

#include <QApplication>
#include <QDialog>
#include <QLocale>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "report/LocaleFormat.h"
#include "ui/LocaleNumbers.h"

namespace zemvalkorta::testing {

// Messages of the platform plugin, not of ours.
inline bool IsPlatformNoise(const QString& message) {
    // The offscreen platform says this of every shown window.
    if (message.contains(QLatin1String("propagateSizeHints"))) return true;
    // Said at start-up on machines without a login session.
    return message.contains(QLatin1String("XDG_RUNTIME_DIR"));
}

inline void FailOnWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (IsPlatformNoise(message)) return;
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        fprintf(stderr, "Qt warning: %s\n", qPrintable(message));
        std::abort();
    }
}

// A chart that warns has misused an axis or a series even when it draws
// something; its tests collect the warnings and fail the test function that
// caused them (see TakeWarnings).
inline QStringList& CollectedWarnings() {
    static QStringList warnings;
    return warnings;
}

inline void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (!IsPlatformNoise(message) && type != QtDebugMsg && type != QtInfoMsg) CollectedWarnings().append(message);
}

inline void InstallWarningCollector() { qInstallMessageHandler(CollectWarnings); }

// The warnings since the last call, which forgets them.
inline QString TakeWarnings() {
    const QString text = CollectedWarnings().join(QLatin1Char('\n'));
    CollectedWarnings().clear();
    return text;
}

inline void UseRussianLocale() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ApplyLocaleFormatSettings();
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
