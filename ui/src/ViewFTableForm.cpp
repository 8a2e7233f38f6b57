#include "ui/ViewFTableForm.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

#include "core/FrostGrading.h"
#include "ui/CatalogueTexts.h"
#include "ui/DialogLayout.h"
#include "ui/LocaleNumbers.h"

namespace zemvalkorta {
namespace {

// (geometry, concrete kind) of the five rows shown; the 70 mm cubes are left out.
constexpr std::array<std::pair<int, int>, 5> ShownRows{{{0, 0}, {0, 1}, {0, 2}, {2, 0}, {2, 1}}};

constexpr int GridRowCount = 7;
constexpr int HiddenRow = 6;

QColor FilledCellColor() { return QColor(192, 220, 192); }

}  // namespace

QString FrostRangeText(double upper, double lower) {
    if (upper == FrostNoUpperLimit) return QStringLiteral(">") + FormatPattern("0.00", lower);
    if (lower == FrostRowEnd) return QStringLiteral("<") + FormatPattern("0.00", upper);
    if (upper != FrostNoBoundary && lower != FrostNoBoundary)
        return FormatPattern("0.00", upper) + QStringLiteral("-") + FormatPattern("0.00", lower);
    return {};
}

TViewFTableForm::TViewFTableForm(QWidget* parent) : QDialog(parent) {
    QFrame* bevel = SetUpDialog(this, QStringLiteral("Таблица морозостойкостей"));
    auto* bevelLayout = LayOutFrame<QVBoxLayout>(bevel, {8, 8, 8, 8}, 6);

    // The three captions read as one sentence; it is longer than the table in most fonts, so the theta
    // sign and the last caption go on a second line instead of past the window's edge.
    bevelLayout->addWidget(new QLabel(QStringLiteral("Максимальное относительное увеличение разности объёмной "
                                                     "деформации бетонного и стандартного образцов"),
                                      bevel));
    auto* captions = new QHBoxLayout;
    captions->setSpacing(4);
    auto* thetaLabel = new QLabel(QStringLiteral("Θx10³"), bevel);
    thetaLabel->setObjectName(QStringLiteral("TettaLabel"));
    captions->addWidget(thetaLabel);
    captions->addWidget(new QLabel(QStringLiteral("для марки бетона по морозостойкости"), bevel));
    captions->addStretch(1);
    bevelLayout->addLayout(captions);

    FTableStringGrid = new QTableWidget(GridRowCount, FrostGradeCount + 1, bevel);
    FTableStringGrid->horizontalHeader()->hide();
    FTableStringGrid->verticalHeader()->hide();
    FTableStringGrid->horizontalHeader()->setDefaultSectionSize(50);
    FTableStringGrid->verticalHeader()->setMinimumSectionSize(0);
    FTableStringGrid->verticalHeader()->setDefaultSectionSize(18);
    FTableStringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTableStringGrid->setSelectionMode(QAbstractItemView::NoSelection);
    FTableStringGrid->setFocusPolicy(Qt::NoFocus);
    FTableStringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FTableStringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bevelLayout->addWidget(FTableStringGrid, 0, Qt::AlignLeft);

    BitBtn1 = MakeDialogButton(QStringLiteral("Закрыть"), this);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    AddButtonRow(this, {BitBtn1});

    FormCreate();
    FitGrid();
    FitDialog(this, QSize(882, 191));
}

void TViewFTableForm::FitGrid() {
    // The original widths (196 and 50, rows of 18) are the least; a wider font widens the columns to their texts.
    FTableStringGrid->resizeColumnsToContents();
    FTableStringGrid->setColumnWidth(0, std::max(196, FTableStringGrid->columnWidth(0)));
    for (int column = 1; column < FTableStringGrid->columnCount(); ++column)
        FTableStringGrid->setColumnWidth(column, std::max(50, FTableStringGrid->columnWidth(column)));
    int width = 0;
    for (int column = 0; column < FTableStringGrid->columnCount(); ++column)
        width += FTableStringGrid->columnWidth(column);
    int height = 0;
    for (int row = 0; row < HiddenRow; ++row) {
        FTableStringGrid->resizeRowToContents(row);
        FTableStringGrid->setRowHeight(row, std::max(18, FTableStringGrid->rowHeight(row)));
        height += FTableStringGrid->rowHeight(row);
    }
    FTableStringGrid->setRowHeight(HiddenRow, 0);
    const int frame = 2 * FTableStringGrid->frameWidth();
    FTableStringGrid->setFixedSize(width + frame, height + frame);
}

void TViewFTableForm::FormCreate() {
    FTableStringGrid->setRowHeight(HiddenRow, 0);
    QFont headerFont = font();
    headerFont.setPointSize(8);
    QFont valueFont(QStringLiteral("Arial"), 8);

    auto place = [this](int row, int column, const QString& text, const QFont& cellFont, const QColor& background) {
        auto* item = new QTableWidgetItem(text);
        item->setFont(cellFont);
        item->setBackground(background);
        FTableStringGrid->setItem(row, column, item);
    };
    for (int column = 1; column <= FrostGradeCount; ++column)
        place(0, column, QStringLiteral("  F%1").arg(FrostGrades[column - 1]), headerFont, palette().window().color());
    for (int shown = 0; shown < int(ShownRows.size()); ++shown) {
        const auto [geometry, concrete] = ShownRows[shown];
        const int row = shown + 1;
        place(row, 0, GeometryText(geometry) + QStringLiteral(", ") + ConcreteKindText(concrete), headerFont,
              palette().window().color());
        const FrostRow& boundaries = FrostTable[std::size_t(GradeRow(geometry, concrete))];
        for (int column = 1; column <= FrostGradeCount; ++column) {
            const QString text = FrostRangeText(boundaries[column - 1], boundaries[column]);
            place(row, column, text, valueFont, text.isEmpty() ? QColor(Qt::white) : FilledCellColor());
        }
    }
}

}  // namespace zemvalkorta
