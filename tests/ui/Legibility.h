#pragma once

// The legibility check of the window tests: every text a window shows must
// fit whole in the place it is given.

#include <QString>
#include <QStringList>

class QWidget;

namespace zemvalkorta::testing {

// One line per fault: a visible label, button, check box, radio button, combo
// box, tab, header section or grid cell whose text does not fit its rectangle;
// a tab bar that needs scroll buttons; a grid whose cells lie beyond a view
// that cannot scroll to them; a chart text (axis labels included) ending in
// "…". Each line names the window, the control and the text.
QStringList IllegibleTexts(const QWidget* window);

}  // namespace zemvalkorta::testing
