#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/TettaPaintBox.h"

using namespace zemvalkorta;

namespace {

const QColor Background(0xEE, 0xEE, 0xEE);
const std::array<QColor, ChannelCount> Colours{QColor(0, 0, 255), QColor(255, 0, 0), QColor(255, 0, 255)};

QImage Render(const TettaPaintBox& box) {
    QImage image(800, TettaPaintBoxHeight, QImage::Format_RGB32);
    image.fill(Background);
    QPainter painter(&image);
    box.TettaPaintBoxPaint(painter);
    return image;
}

// Rows of column x, from top to bottom, painted in exactly this colour.
QList<int> RowsIn(const QImage& image, int x, const QColor& colour) {
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) == colour) rows.append(y);
    return rows;
}

QList<int> Span(int first, int last) {
    QList<int> rows;
    for (int y = first; y <= last; ++y) rows.append(y);
    return rows;
}

bool HasInk(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != Background) return true;
    return false;
}

TettaStripValues Values(double channel1, double channel2, double mean, int geometry = 0, int kind = 0) {
    TettaStripValues values;
    values.ChannelTetta = {channel1, channel2, -1.0};
    values.AverageTetta = mean;
    values.GeometryKind = geometry;
    values.ConcreteKind = kind;
    values.HasData = channel1 != -1.0 || channel2 != -1.0;
    return values;
}

}  // namespace

class TettaPaintBoxTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        testing::InstallWarningCollector();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }
    void cleanup() {
        const QString warnings = testing::TakeWarnings();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings));
    }

    void emptyStripShowsOnlyTheScale() {
        TettaPaintBox box;
        const QImage image = Render(box);
        for (int i = 0; i <= 13; ++i) QCOMPARE(RowsIn(image, 40 + 50 * i, Qt::black), Span(1, 8));
        // Between the ticks nothing reaches below the grade labels' line.
        QVERIFY(!HasInk(image, QRect(41, 12, 48, 10)));
        QVERIFY(!HasInk(image, QRect(0, 12, 30, 10)));  // no "Θx10³"
        QVERIFY(HasInk(image, QRect(60, 0, 20, 10)));   // "25"
        QVERIFY(HasInk(image, QRect(2, 0, 8, 10)));     // "F"
    }

    void marksAtTheirPixels() {
        TettaPaintBox box;
        // 0.0035 on tick 3 (p = 150); 0.005 in the open first interval (p = 25); mean 0.0037 at p = 75.
        box.ShowTetta(Values(0.0035, 0.005, 0.0037), Colours);
        QVERIFY(box.HasData());
        const QImage image = Render(box);
        QCOMPARE(RowsIn(image, 189, Colours[0]), Span(1, 21));
        QCOMPARE(RowsIn(image, 190, Colours[0]), Span(1, 21));
        QCOMPARE(RowsIn(image, 64, Colours[1]), Span(1, 21));
        QCOMPARE(RowsIn(image, 65, Colours[1]), Span(1, 21));
        QCOMPARE(RowsIn(image, 115, Qt::black), Span(1, 21));
        QVERIFY(RowsIn(image, 63, Colours[1]).isEmpty());
        QVERIFY(RowsIn(image, 191, Colours[0]).isEmpty());
        QVERIFY(HasInk(image, QRect(2, 12, 20, 10)));   // "Θx10³"
        QVERIFY(HasInk(image, QRect(80, 12, 20, 10)));  // boundary 1, "3,80"
    }

    void meanLiesOverAChannelMark() {
        TettaPaintBox box;
        box.ShowTetta(Values(0.0035, -1, 0.0035), Colours);
        const QImage image = Render(box);
        QCOMPARE(RowsIn(image, 189, Colours[0]), Span(1, 21));
        QCOMPARE(RowsIn(image, 190, Qt::black), Span(1, 21));
    }

    void roadConcreteShowsFourBoundariesAndNoMarkAboveItsRow() {
        TettaPaintBox box;
        box.ShowTetta(Values(0.001, -1, 0.001, 0, 2), Colours);
        const QImage image = Render(box);
        for (int i = 1; i < 5; ++i) QVERIFY(!HasInk(image, QRect(30 + 50 * i, 12, 40, 10)));
        for (int i = 5; i <= 8; ++i) QVERIFY(HasInk(image, QRect(30 + 50 * i, 12, 20, 10)));
        QVERIFY(!HasInk(image, QRect(30 + 50 * 9, 12, 40, 10)));
        for (int x = 41; x < 700; ++x) QVERIFY(RowsIn(image, x, Colours[0]).isEmpty());
        QVERIFY(RowsIn(image, 40 + 0, Qt::black).size() == 8);  // only the tick, no mark
    }

    void noRowOrNoDataLeavesTheSecondLineOut() {
        TettaPaintBox box;
        box.ShowTetta(Values(0.002, -1, 0.002, 0, 3), Colours);  // concrete kind without a row
        QVERIFY(!HasInk(Render(box), QRect(0, 12, 700, 10)));
        box.ShowTetta(Values(-1, -1, 0.002), Colours);  // only the standard specimen
        QVERIFY(!box.HasData());
        QVERIFY(!HasInk(Render(box), QRect(0, 12, 700, 10)));
        box.ShowTetta(Values(-1, -0.002, 0.002), Colours);  // a negative theta: no mark, but the second line
        const QImage negative = Render(box);
        QVERIFY(HasInk(negative, QRect(0, 12, 30, 10)));
        for (int x = 41; x < 700; ++x) QVERIFY(RowsIn(negative, x, Colours[1]).isEmpty());
        box.ShowTetta(Values(0.002, -1, 0.002), Colours);
        box.ClearTettaPaintBox();
        QVERIFY(!HasInk(Render(box), QRect(0, 12, 700, 10)));
    }

    void paintsOnScreen() {
        TettaPaintBox box;
        box.resize(720, TettaPaintBoxHeight);
        box.ShowTetta(Values(0.0035, -1, 0.0035), Colours);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage image = box.grab().toImage();
        QCOMPARE(image.pixelColor(189, 15), Colours[0]);
        QCOMPARE(image.pixelColor(40 + 50 * 13, 4), QColor(Qt::black));
    }
};

QTEST_MAIN(TettaPaintBoxTest)
#include "TettaPaintBoxTest.moc"
