#include "ui/ViewFTableForm.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <array>
#include <utility>

#include "core/FrostGrading.h"
#include "ui/CatalogueTexts.h"
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
    setWindowTitle(QStringLiteral("Таблица морозостойкостей"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(882, 191);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(0, 0, 881, 153);

    auto* caption1 =
        new QLabel(QStringLiteral("Максимальное относительное увеличение разности объёмной деформации бетонного и "
                                  "стандартного образцов"),
                   this);
    caption1->move(8, 8);
    auto* thetaLabel = new QLabel(QStringLiteral("Θx10³"), this);
    thetaLabel->setObjectName(QStringLiteral("TettaLabel"));
    // The first caption is wider in a Unicode font than the original 8-point
    // bitmap font; the two following labels go after it instead of on top of it.
    caption1->adjustSize();
    thetaLabel->move(std::max(592, caption1->x() + caption1->width() + 4), 8);
    thetaLabel->adjustSize();
    auto* caption2 = new QLabel(QStringLiteral("для марки бетона по морозостойкости"), this);
    caption2->move(std::max(632, thetaLabel->x() + thetaLabel->width() + 4), 8);

    FTableStringGrid = new QTableWidget(GridRowCount, FrostGradeCount + 1, this);
    FTableStringGrid->setGeometry(9, 27, 864, 118);
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

    BitBtn1 = new QPushButton(QStringLiteral("Закрыть"), this);
    BitBtn1->setGeometry(403, 160, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TViewFTableForm::FormCreate() {
    FTableStringGrid->setRowHeight(HiddenRow, 0);
    FTableStringGrid->setColumnWidth(0, 196);
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
