#include "ui/GridSizing.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>

namespace zemvalkorta {

int CellTextWidth(const QTableWidget* grid, const QString& text) {
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return grid->fontMetrics().horizontalAdvance(text) + 2 * margin + 4;
}

int TextColumnWidth(const QTableWidget* grid, int column) {
    int width = 0;
    for (int row = 0; row < grid->rowCount(); ++row)
        if (const QTableWidgetItem* item = grid->item(row, column))
            width = std::max(width, CellTextWidth(grid, item->text()));
    return width;
}

void FitGridHeight(QTableWidget* grid, int designHeight, int width) {
    const int frame = 2 * grid->frameWidth();
    const int rows = grid->verticalHeader()->length();
    const bool scrolls = grid->horizontalHeader()->length() > width - frame;
    const int bar = scrolls ? grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid) : 0;
    grid->setFixedHeight(std::max(designHeight, rows + frame + bar));
}

}  // namespace zemvalkorta
