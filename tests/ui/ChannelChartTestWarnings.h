#pragma once

// Fails the running test on any Qt warning: a chart that warns has misused an
// axis or a series even when it draws something.

#include <QStringList>
#include <QtGlobal>

namespace zemvalkorta::testing {

inline QStringList& CollectedWarnings() {
    static QStringList warnings;
    return warnings;
}

inline void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    // The offscreen platform says this of every shown window; it is not ours.
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    if (type != QtDebugMsg && type != QtInfoMsg) CollectedWarnings().append(message);
}

inline void InstallWarningCollector() { qInstallMessageHandler(CollectWarnings); }

// The warnings since the last call, which forgets them.
inline QString TakeWarnings() {
    const QString text = CollectedWarnings().join(QLatin1Char('\n'));
    CollectedWarnings().clear();
    return text;
}

}  // namespace zemvalkorta::testing
