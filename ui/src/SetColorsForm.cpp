#include "ui/SetColorsForm.h"

#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/ColorComboBox.h"
#include "ui/DialogLayout.h"

namespace zemvalkorta {

TSetColorsForm::TSetColorsForm(QWidget* parent) : QDialog(parent) {
    QFrame* bevel = SetUpDialog(this, QStringLiteral("Цвета графиков"));
    auto* bevelLayout = LayOutFrame<QVBoxLayout>(bevel, {2, 2, 2, 2});

    ColorsGrid = new QTableWidget(1, 2, bevel);
    ColorsGrid->horizontalHeader()->hide();
    ColorsGrid->verticalHeader()->hide();
    // 126 x 20 held the names in the original 8-point font; a larger font widens the name column.
    const QFontMetrics metrics = ColorsGrid->fontMetrics();
    const int nameWidth = metrics.horizontalAdvance(QStringLiteral("Стандартный образец")) +
                          3 * metrics.horizontalAdvance(QLatin1Char('A'));
    ColorsGrid->setColumnWidth(0, std::max(126, nameWidth));
    ColorsGrid->setColumnWidth(1, 126);
    ColorsGrid->verticalHeader()->setDefaultSectionSize(std::max(20, metrics.height() + 6));
    ColorsGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ColorsGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ColorsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ColorsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ColorsGrid->setFocusPolicy(Qt::ClickFocus);
    ColorsGrid->setFrameShape(QFrame::NoFrame);
    bevelLayout->addWidget(ColorsGrid);

    ColorBox = new ColorComboBox(ColorsGrid->viewport());
    ColorBox->hide();
    connect(ColorBox, &ColorComboBox::ColorPicked, this, &TSetColorsForm::ColorBoxChange);
    connect(ColorsGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { ColorsGridSelectCell(row, column); });
    connect(ColorsGrid, &QTableWidget::cellClicked, this, &TSetColorsForm::ColorsGridSelectCell);

    MakeApplyCancelButtons(this, ApplyButton, CancelButton);
    RefreshRow(0);
    FitGrid();
}

void TSetColorsForm::FitGrid() {
    // Every row shows; the grid has no scroll bars.
    int width = 0;
    for (int column = 0; column < ColorsGrid->columnCount(); ++column) width += ColorsGrid->columnWidth(column);
    int height = 0;
    for (int row = 0; row < ColorsGrid->rowCount(); ++row) height += ColorsGrid->rowHeight(row);
    ColorsGrid->setFixedSize(width + 1, std::max(height + 1, 117));
    FitDialog(this, QSize(274, 173));
}

void TSetColorsForm::SetStandardColor(ColorValue color) {
    standard_ = color;
    RefreshRow(0);
}

void TSetColorsForm::SetColorCount(int count) {
    channelColors_.resize(std::size_t(std::max(count, 0)), 0);
    ColorsGrid->setRowCount(GetColorCount() + 1);
    for (int row = 0; row <= GetColorCount(); ++row) RefreshRow(row);
    FitGrid();
}

void TSetColorsForm::SetChannelColor(int index, ColorValue color) {
    if (index < 0 || index >= GetColorCount()) return;
    channelColors_[std::size_t(index)] = color;
    RefreshRow(index + 1);
}

ColorValue TSetColorsForm::GetChannelColor(int index) const {
    if (index < 0 || index >= GetColorCount()) return 0;
    return channelColors_[std::size_t(index)];
}

void TSetColorsForm::SelectCell(int row, int column) {
    ColorsGrid->setCurrentCell(row, column);
    ColorsGridSelectCell(row, column);
}

ColorValue TSetColorsForm::RowColor(int row) const { return row == 0 ? standard_ : GetChannelColor(row - 1); }

void TSetColorsForm::RefreshRow(int row) {
    auto* name =
        new QTableWidgetItem(row == 0 ? QStringLiteral("Стандартный образец") : QStringLiteral("Канал %1").arg(row));
    name->setBackground(Qt::white);
    ColorsGrid->setItem(row, 0, name);
    auto* swatch = new QTableWidgetItem();
    swatch->setBackground(ToQColor(RowColor(row)));
    ColorsGrid->setItem(row, 1, swatch);
}

void TSetColorsForm::ColorsGridSelectCell(int row, int column) {
    if (column != 1 || row < 0) return;
    const QRect cell = ColorsGrid->visualItemRect(ColorsGrid->item(row, 1));
    ColorBox->setGeometry(cell.adjusted(2, 0, 2, 0));
    ColorBox->SetColor(RowColor(row));
    ColorBox->show();
}

void TSetColorsForm::ColorBoxChange(ColorValue color) {
    const int row = ColorsGrid->currentRow();
    if (row == 0)
        standard_ = color;
    else if (row > 0)
        SetChannelColor(row - 1, color);
    RefreshRow(row);
    ColorBox->hide();
}

}  // namespace zemvalkorta
