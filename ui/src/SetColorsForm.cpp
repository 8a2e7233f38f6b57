#include "ui/SetColorsForm.h"

#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "ui/ColorComboBox.h"

namespace zemvalkorta {

TSetColorsForm::TSetColorsForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Цвета графиков"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(274, 173);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 257, 125);

    ColorsGrid = new QTableWidget(1, 2, bevel);
    ColorsGrid->setGeometry(2, 2, 253, 121);
    ColorsGrid->horizontalHeader()->hide();
    ColorsGrid->verticalHeader()->hide();
    ColorsGrid->horizontalHeader()->setDefaultSectionSize(126);
    ColorsGrid->verticalHeader()->setDefaultSectionSize(20);
    ColorsGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ColorsGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ColorsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ColorsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ColorsGrid->setFocusPolicy(Qt::ClickFocus);
    ColorsGrid->setFrameShape(QFrame::NoFrame);

    ColorBox = new TColorComboBox(ColorsGrid->viewport());
    ColorBox->hide();
    connect(ColorBox, &TColorComboBox::ColorPicked, this, &TSetColorsForm::ColorBoxChange);
    connect(ColorsGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { ColorsGridSelectCell(row, column); });
    connect(ColorsGrid, &QTableWidget::cellClicked, this, &TSetColorsForm::ColorsGridSelectCell);

    ApplyButton = new QPushButton(QStringLiteral("Применить"), this);
    ApplyButton->setGeometry(56, 140, 75, 25);
    ApplyButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setGeometry(143, 140, 75, 25);
    connect(ApplyButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    RefreshRow(0);
}

void TSetColorsForm::SetStandardColor(ColorValue color) {
    Standard = color;
    RefreshRow(0);
}

void TSetColorsForm::SetColorCount(int count) {
    ChannelColors.resize(std::size_t(std::max(count, 0)), 0);
    ColorsGrid->setRowCount(GetColorCount() + 1);
    for (int row = 0; row <= GetColorCount(); ++row) RefreshRow(row);
}

void TSetColorsForm::SetChannelColor(int index, ColorValue color) {
    if (index < 0 || index >= GetColorCount()) return;
    ChannelColors[std::size_t(index)] = color;
    RefreshRow(index + 1);
}

ColorValue TSetColorsForm::GetChannelColor(int index) const {
    if (index < 0 || index >= GetColorCount()) return 0;
    return ChannelColors[std::size_t(index)];
}

void TSetColorsForm::SelectCell(int row, int column) {
    ColorsGrid->setCurrentCell(row, column);
    ColorsGridSelectCell(row, column);
}

ColorValue TSetColorsForm::RowColor(int row) const { return row == 0 ? Standard : GetChannelColor(row - 1); }

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
        Standard = color;
    else if (row > 0)
        SetChannelColor(row - 1, color);
    RefreshRow(row);
    ColorBox->hide();
}

}  // namespace zemvalkorta
