// Redrawing the three channel charts for a three-channel 4320-sample
// measurement, and switching the graph type end to end (decoding the stored
// image, filling the charts, painting them).

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "core/MeasureImage.h"
#include "ui/ChannelChart.h"
#include "ui/ChannelChartView.h"
#include "ui/FrostGraphic.h"

namespace {

using namespace zemvalkorta;

TMeasureResult LongMeasure() {
    TMeasureResult measure;
    measure.ActiveChannels = 7;
    measure.StandardPattern = 1;
    measure.Period = 20;
    measure.PointCount = MaxDevicePointCount;
    measure.CurveShift = {0, 4, -3};
    for (int channel = 0; channel < ChannelCount; ++channel) {
        Curve volume, temperature, reference, difference;
        for (int i = 0; i < MaxDevicePointCount; ++i) {
            const double x = i / double(MaxDevicePointCount);
            volume.push_back(static_cast<float>(channel + 0.3 * x + 0.02 * std::sin(x * 40)));
            temperature.push_back(static_cast<float>(15 - 30 * x));
            reference.push_back(static_cast<float>(channel + 0.28 * x));
            difference.push_back(static_cast<float>(0.02 * std::sin(x * 40)));
        }
        measure.Curves.push_back(volume);
        measure.Curves.push_back(temperature);
        if (channel > 0) {
            measure.Curves.push_back(reference);
            measure.Curves.push_back(difference);
        }
    }
    return measure;
}

struct Pages {
    std::array<ChannelChartView*, ChannelCount> Views{};
    std::array<ChannelChart*, ChannelCount> Charts{};
    QImage Canvas{456, 400, QImage::Format_RGB32};
    Pages() {
        for (int i = 0; i < ChannelCount; ++i) {
            Views[static_cast<std::size_t>(i)] = new ChannelChartView;
            Views[static_cast<std::size_t>(i)]->resize(456, 400);
            Views[static_cast<std::size_t>(i)]->show();
            Charts[static_cast<std::size_t>(i)] = Views[static_cast<std::size_t>(i)]->Chart();
        }
        QApplication::processEvents();
    }
    ~Pages() {
        for (ChannelChartView* view : Views) delete view;
    }
    void Paint() {
        QApplication::processEvents();  // deferred chart layout
        for (ChannelChartView* view : Views) {
            QPainter painter(&Canvas);
            view->render(&painter);
        }
    }
};

void RedrawThreeCharts(benchmark::State& state) {
    Pages pages;
    const TMeasureResult measure = LongMeasure();
    for (auto _ : state) {
        DrawMeasureGraphics(pages.Charts, measure, VolumeGraphic, true, {});
        pages.Paint();
    }
}
BENCHMARK(RedrawThreeCharts)->Unit(benchmark::kMillisecond);

void SwitchGraphType(benchmark::State& state) {
    Pages pages;
    const ByteArray image = EncodeMeasure(LongMeasure());
    int type = 0;
    for (auto _ : state) {
        type = (type + 1) % FrostGraphicTypeCount;
        const TMeasureResult measure = DecodeMeasure(image);
        DrawMeasureGraphics(pages.Charts, measure, type, true, {});
        pages.Paint();
    }
}
BENCHMARK(SwitchGraphType)->Unit(benchmark::kMillisecond);

void ReportChartPage(benchmark::State& state) {
    ChannelChart report(ChannelChartStyle::Report, ReportChartSeriesCount);
    const TMeasureResult measure = LongMeasure();
    QImage page(1100, 700, QImage::Format_RGB32);
    for (auto _ : state) {
        DrawReportDifferenceGraphic(report, measure, {});
        QPainter painter(&page);
        report.RenderInto(painter, QRectF(0, 0, 1100, 700));
    }
}
BENCHMARK(ReportChartPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
