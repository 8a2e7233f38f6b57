#pragma once

// Sizes of the text grids that follow their texts in the window's font.

#include <QString>

class QTableWidget;

namespace zemvalkorta {

// Room for `text` in a cell of `grid`, with the margins its cells are drawn with.
int CellTextWidth(const QTableWidget* grid, const QString& text);

// The room the widest text of `column` needs.
int TextColumnWidth(const QTableWidget* grid, int column);

// Every row shows, plus the horizontal scroll bar while the columns are wider than the grid's
// `width` (the width it is being given, which may not have reached it yet); never lower than `designHeight`.
void FitGridHeight(QTableWidget* grid, int designHeight, int width);

}  // namespace zemvalkorta
