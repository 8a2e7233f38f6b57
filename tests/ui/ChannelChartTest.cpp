#include <QCategoryAxis>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPicture>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "ChartTextsCheck.h"
#include "UiTestSupport.h"
#include "ui/ChannelChart.h"
#include "ui/ChannelChartView.h"
#include "ui/FrostGraphic.h"

using namespace zemvalkorta;

namespace {

Curve Ramp(int count, float first, float step) {
    Curve curve;
    for (int i = 0; i < count; ++i) curve.push_back(first + step * static_cast<float>(i));
    return curve;
}

// Standard specimen in channel 1, concrete in channel 2; channel 3 unused.
// 120 samples every 30 s; channel 2 reaches 0 degC at sample 40.
TMeasureResult StandardAndConcrete() {
    TMeasureResult measure;
    measure.ActiveChannels = 3;
    measure.StandardPattern = 1;
    measure.Period = 30;
    measure.PointCount = 120;
    measure.CurveShift = {0, 3, 0};
    Curve temperature(120, 5.0f);
    for (int i = 40; i < 120; ++i) temperature[static_cast<std::size_t>(i)] = -0.5f * static_cast<float>(i - 39);
    measure.Curves = {Ramp(120, 10, 0.01f), temperature,          Ramp(120, 20, 0.02f),
                      temperature,          Ramp(120, 21, 0.02f), Ramp(120, 0, 0.001f)};
    return measure;
}

// Lays the chart out at a fixed size inside a scene of its own.
struct LaidOutChart {
    QGraphicsScene scene;
    ChannelChart* chart = new ChannelChart;
    LaidOutChart() {
        scene.addItem(chart);
        chart->resize(600, 400);
        chart->layout()->activate();
    }
};

}  // namespace

class ChannelChartTest : public QObject {
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

    void axesFollowTheGraphType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("bottom");
        QTest::newRow("V(t)") << 0 << QStringLiteral("V(t),\ncm³") << QStringLiteral("Время, ч:м");
        QTest::newRow("T(t)") << 1 << QStringLiteral("T(t),\n°C") << QStringLiteral("Время, ч:м");
        QTest::newRow("dT(t)") << 2 << QStringLiteral("ΔT(t),\n°C") << QStringLiteral("Время, ч:м");
        QTest::newRow("V(T)") << 3 << QStringLiteral("V(T),\ncm³") << QStringLiteral("T, °C");
        QTest::newRow("V(dT)") << 4 << QStringLiteral("V(ΔT),\ncm³") << QStringLiteral("ΔT, °C");
        QTest::newRow("dV(t)") << 5 << QStringLiteral("ΔV(t),\ncm³") << QStringLiteral("Время, ч:м");
    }
    void axesFollowTheGraphType() {
        QFETCH(int, type);
        QFETCH(QString, left);
        QFETCH(QString, bottom);
        LaidOutChart laid;
        const CurveList curves{Ramp(10, 1, 0.5f), Ramp(10, 20, -3), Ramp(10, 0, 0.1f)};
        laid.chart->ShowFrostGraphic(0, 0, type, true, 0, 60, curves[0], curves[1], curves[2], Qt::red);
        QCOMPARE(laid.chart->LeftTitle(), left);
        QCOMPARE(laid.chart->BottomTitle(), bottom);
        QCOMPARE(laid.chart->Series(0)->count(), 10);
        QCOMPARE(laid.chart->Series(0)->color(), QColor(Qt::red));
        const QStringList labels = laid.chart->BottomLabels();
        QVERIFY(!labels.isEmpty());
        if (type == 3 || type == 4) {
            QVERIFY2(labels.join(' ').contains(','), qPrintable(labels.join(' ')));  // "#,##0.0" in Russian
        } else {
            QVERIFY2(labels.contains(QStringLiteral("0:05")), qPrintable(labels.join(' ')));
        }
        for (const QString& label : laid.chart->LeftLabels()) QVERIFY(label.contains(',') || label == "0");
        laid.chart->ClearGraphics();
        QCOMPARE(laid.chart->Series(0)->count(), 0);
        QVERIFY(laid.chart->LeftTitle().isEmpty());
        QVERIFY(laid.chart->BottomTitle().isEmpty());
    }

    void labelsStayTwentyPixelsApartAndHoursRunPastADay() {
        LaidOutChart laid;
        // 4320 samples every 30 s: 36 hours.
        laid.chart->ShowFrostGraphic(0, 0, 0, true, 0, 30, Ramp(4320, 0, 0.001f), {}, {}, Qt::blue);
        laid.chart->layout()->activate();
        auto* axis = qobject_cast<QCategoryAxis*>(laid.chart->axes(Qt::Horizontal).first());
        const QStringList labels = axis->categoriesLabels();
        QVERIFY(labels.size() >= 3);
        QVERIFY2(labels.contains(QStringLiteral("30:00")), qPrintable(labels.join(' ')));
        const double pixelsPerSecond = laid.chart->plotArea().width() / (axis->max() - axis->min());
        for (int i = 1; i < labels.size(); ++i) {
            const double gap = axis->endValue(labels[i]) - axis->endValue(labels[i - 1]);
            QVERIFY(gap * pixelsPerSecond >= MinimumLabelSpacing);
        }
        auto* left = qobject_cast<QCategoryAxis*>(laid.chart->axes(Qt::Vertical).first());
        const double pixelsPerUnit = laid.chart->plotArea().height() / (left->max() - left->min());
        const QStringList leftLabels = left->categoriesLabels();
        QVERIFY(leftLabels.size() >= 2);
        QVERIFY(leftLabels.contains(QStringLiteral("1,00")));
        for (int i = 1; i < leftLabels.size(); ++i)
            QVERIFY((left->endValue(leftLabels[i]) - left->endValue(leftLabels[i - 1])) * pixelsPerUnit >= 20);
    }

    void shortRangeKeepsTheDesiredOneMinuteStep() {
        LaidOutChart laid;
        laid.chart->ShowFrostGraphic(0, 0, 1, true, 0, 10, Ramp(60, 0, 1), Ramp(60, 0, 1), {}, Qt::blue);
        const QStringList labels = laid.chart->BottomLabels();
        QCOMPARE(labels.mid(0, 3), (QStringList{"0:00", "0:01", "0:02"}));
    }

    void measurePagesWithStandardAndDifference() {
        std::array<ChannelChart*, 3> charts{new ChannelChart, new ChannelChart, new ChannelChart};
        const TMeasureResult measure = StandardAndConcrete();
        GraphicColours colours;
        colours.Standard = QColor(1, 2, 3);
        DrawMeasureGraphics(charts, measure, VolumeDifferenceGraphic, false, colours);
        // The standard's page: a zero line over its whole span, in channel 1's colour.
        const QList<QPointF> zero = charts[0]->SeriesPoints(0);
        QCOMPARE(zero.size(), 120);
        for (const QPointF& point : zero) QCOMPARE(point.y(), 0.0);
        QCOMPARE(charts[0]->Series(0)->color(), QColor(Qt::blue));
        // Concrete: the difference curve from the first sample at 0 degC.
        const QList<QPointF> difference = charts[1]->SeriesPoints(0);
        QCOMPARE(difference.size(), 80);
        QCOMPARE(difference.first().x(), 40.0 * 30);
        QCOMPARE(charts[1]->SeriesPoints(1).size(), 0);
        QVERIFY(charts[2]->LeftTitle().isEmpty());
        QCOMPARE(charts[2]->Series(0)->count(), 0);

        DrawMeasureGraphics(charts, measure, VolumeGraphic, true, colours);
        QCOMPARE(charts[1]->SeriesPoints(0).first().x(), 40.0 * 30);
        QCOMPARE(charts[1]->SeriesPoints(1).first().x(), 40.0 * 30);
        QCOMPARE(charts[1]->Series(1)->color(), colours.Standard);
        // The reference curve moved by the shift of 3: its sample 37 at 40 * 30 s.
        QCOMPARE(charts[1]->SeriesPoints(1).first().y(), double(21 + 0.02f * 37));

        DrawMeasureGraphics(charts, measure, TemperatureGraphic, true, colours);
        QCOMPARE(charts[1]->SeriesPoints(0).size(), 117);
        QCOMPARE(charts[1]->SeriesPoints(1).size(), 0);
        for (ChannelChart* chart : charts) delete chart;
    }

    void viewChangesLeaveTheDataAlone() {
        ChannelChartView view;
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        ChannelChart* chart = view.Chart();
        chart->ShowFrostGraphic(0, 0, 0, true, 0, 60, Ramp(100, 0, 0.01f), {}, {}, Qt::blue);
        const QList<QPointF> before = chart->SeriesPoints(0);
        const AxisRange whole = chart->HorizontalView();

        const QPoint centre = view.mapFromScene(chart->plotArea().center());
        QWheelEvent wheel(centre, view.mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
        QVERIFY(chart->HorizontalView().Maximum - chart->HorizontalView().Minimum < whole.Maximum - whole.Minimum);
        const AxisRange zoomed = chart->HorizontalView();

        QSignalSpy readouts(&view, &ChannelChartView::PointerReadout);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseMove(view.viewport(), centre + QPoint(50, 0));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre + QPoint(50, 0));
        QVERIFY(chart->HorizontalView().Minimum < zoomed.Minimum);  // dragged right shows earlier times
        QVERIFY(!readouts.isEmpty());
        const QString readout = readouts.last().first().toString();
        QVERIFY2(readout.startsWith(QStringLiteral("Время, ч:м: ")) && readout.contains(QStringLiteral("cm³")),
                 qPrintable(readout));

        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(chart->HorizontalView(), whole);
        QCOMPARE(chart->SeriesPoints(0), before);
        QCOMPARE(chart->Series(0)->points(), before);  // 100 points on 500 pixels: none thinned
    }

    // The channel page's chart at the window's initial size (720 x 572 and
    // 1024 x 768) and maximised on 1400 x 1000, where the right part keeps
    // its width and grows in height only, and wide.
    void labelsReadWholeAtEverySize_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSize>("size");
        const QList<QPair<const char*, QSize>> sizes = {{"initial", QSize(452, 232)},
                                                        {"1024x768", QSize(452, 420)},
                                                        {"maximised", QSize(452, 700)},
                                                        {"wide", QSize(1000, 700)},
                                                        {"small", QSize(330, 180)}};
        for (int type = 0; type < 6; ++type)
            for (const auto& [name, size] : sizes)
                QTest::addRow("%s %s", qPrintable(QString::fromUtf8(AxesOfGraphicType(type).ButtonCaption)), name)
                    << type << size;
    }
    void labelsReadWholeAtEverySize() {
        QFETCH(int, type);
        QFETCH(QSize, size);
        ChannelChartView view;
        view.resize(size);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        // Six hours every 30 s, cooling from +20 to -20 degC, swelling to 1.45 cm3.
        Curve volume, temperature, difference;
        for (int i = 0; i < 720; ++i) {
            const double t = i / 720.0;
            temperature.push_back(static_cast<float>(20 - 40 * t));
            volume.push_back(static_cast<float>(0.15 + 1.3 * (1 - std::exp(-3 * t))));
            difference.push_back(static_cast<float>(0.11 * std::sin(6 * t) - 0.01));
        }
        view.Chart()->ShowFrostGraphic(0, 3000, type, true, 0, 30, volume, temperature, difference, Qt::blue);
        QTRY_VERIFY(view.Chart()->plotArea().width() > 0);
        QApplication::processEvents();
        const QStringList faults = testing::ChartTextFaults(*view.Chart());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        // The labels must not have been bought by pushing the plot off the chart.
        QVERIFY(view.Chart()->plotArea().width() > size.width() / 2);
        QVERIFY(view.Chart()->plotArea().height() > size.height() / 3);
    }

    void reportChartDrawsIntoAPage() {
        ChannelChart report(ChannelChartStyle::Report, ReportChartSeriesCount);
        const TMeasureResult measure = StandardAndConcrete();
        GraphicColours colours;
        DrawReportDifferenceGraphic(report, measure, colours);
        QCOMPARE(report.Series(0)->count(), 0);
        QCOMPARE(report.Series(1)->count(), 80);
        QImage page(800, 500, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            report.RenderInto(painter, QRectF(50, 20, 700, 450));
        }
        int red = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (page.pixelColor(x, y) == QColor(Qt::red)) ++red;
        QVERIFY2(red > 100, qPrintable(QString::number(red)));
        QVERIFY(!report.BottomLabels().isEmpty());

        QVERIFY(DrawReportStandardGraphic(report, measure, colours));
        QCOMPARE(report.Series(0)->count(), 120);
        QCOMPARE(report.Series(1)->count(), 0);
        QPicture vectors;
        {
            QPainter painter(&vectors);
            report.RenderInto(painter, QRectF(0, 0, 700, 450));
        }
        QVERIFY(vectors.size() > 0);
        TMeasureResult model = measure;
        model.StandardPattern = 32;
        QVERIFY(!DrawReportStandardGraphic(report, model, colours));
    }
};

QTEST_MAIN(ChannelChartTest)
#include "ChannelChartTest.moc"
