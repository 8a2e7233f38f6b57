#pragma once

// Icons of the window's commands. Each has an explicit disabled look (grey and
// faded), so that a command that cannot run is seen at a glance.

#include <QIcon>
#include <QStyle>

namespace zemvalkorta {

// One of the style's standard icons with the disabled look added.
QIcon CommandIcon(const QStyle* style, QStyle::StandardPixmap pixmap);

// Drawn here, because the style has no fitting picture: a page with an arrow
// leaving it (text export) and a printer (report).
QIcon ExportCommandIcon();
QIcon ReportCommandIcon();

// The disabled look of `image`: grey and faded.
QImage DisabledLook(const QImage& image);

}  // namespace zemvalkorta
