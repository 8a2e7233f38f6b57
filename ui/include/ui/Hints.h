#pragma once

// Hints are written "short|long": the short part is the tooltip, the long
// part goes to the first panel of the main window's status bar.

#include <QString>

class QAction;
class QWidget;

namespace zemvalkorta {

QString ShortHint(const QString& hint);
QString LongHint(const QString& hint);

void SetHint(QAction* action, const QString& hint);
void SetHint(QWidget* widget, const QString& hint);

}  // namespace zemvalkorta
