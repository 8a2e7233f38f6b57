// The graphs inside the main window: a stored measurement reaches the channel
// pages and the theta strip, and the scaling buttons store, reprocess and redraw.

#include <QCheckBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include "ChartTextsCheck.h"
#include "UiTestSupport.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/ChannelChart.h"
#include "ui/ChannelChartView.h"
#include "ui/FileDialogs.h"
#include "ui/MainForm.h"
#include "ui/TettaPaintBox.h"

using namespace zemvalkorta;

namespace {

// Standard specimen in channel 1, concrete in 2 and 3; cooling from +15 to -20 degC.
TMeasureResult FreezingMeasure() {
    TMeasureResult measure;
    measure.MeasureDate = 46000.5;
    measure.MeasureNumber = 1;
    measure.ActiveChannels = 7;
    measure.StandardPattern = 1;
    measure.Period = 30;
    measure.PointCount = 600;
    measure.Duration = 600 * 30;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        measure.PatternVolume[std::size_t(channel)] = 1000;
        measure.PatternDimensions[std::size_t(channel)] = {100, 100, 100};
        Curve volume, temperature, empty(600, 0.0f);
        for (int i = 0; i < 600; ++i) {
            const double degrees = 15 - 35 * i / 600.0;
            temperature.push_back(static_cast<float>(degrees));
            const double swelling = channel > 0 && degrees < 0 ? -0.001 * channel * degrees : 0.0;
            volume.push_back(static_cast<float>(0.4 * i / 600.0 + swelling));
        }
        measure.Curves.push_back(volume);
        measure.Curves.push_back(temperature);
        if (channel > 0) {
            measure.Curves.push_back(empty);
            measure.Curves.push_back(empty);
        }
    }
    return measure;
}

}  // namespace

class FrostGraphicMainFormTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir Folder;
    std::unique_ptr<TMainDataModule> Data;
    std::unique_ptr<TMainForm> Form;

    ChannelChart& Chart(int channel) { return *Form->ChannelChartViews[std::size_t(channel)]->Chart(); }
    double Stretch(int channel) {
        TMeasureResult measure;
        if (Data->ReadMeasure(measure) != 0) return -1;
        return measure.CurveStretch[std::size_t(channel)];
    }

private Q_SLOTS:
    // One window and one project for all cases.
    void initTestCase() {
        Data = std::make_unique<TMainDataModule>();
        Form = std::make_unique<TMainForm>(*Data, Folder.filePath(QStringLiteral("zemvalkorta.ini")));
        Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
        static int projects = 0;
        const QString project = Folder.filePath(QStringLiteral("graphs%1.fdb").arg(++projects));
        SetFileDialogResponder([project](FileDialogKind, const QString&) { return project; });
        Form->CreateNewProjectAction->trigger();
        SetFileDialogResponder({});
        QVERIFY(Data->IsProjectOpen());
        QCOMPARE(StoreDownloadedMeasures(*Data, {FreezingMeasure()}), 1);
    }

    void cleanupTestCase() {
        // Closing the data module directly: the window would ask whether to save.
        if (Data && Data->IsProjectOpen()) Data->CloseProject();
        Form.reset();
        Data.reset();
    }

    void measurementReachesPagesAndStrip() {
        QCOMPARE(Chart(0).SeriesPoints(0).size(), 600);
        QVERIFY(Chart(1).SeriesPoints(0).size() > 0);
        QCOMPARE(Chart(0).LeftTitle(), QStringLiteral("V(t),\ncm³"));
        QVERIFY(Form->TettaStrip->HasData());
        QCOMPARE(Form->TettaStrip->Values().ChannelTetta[0], -1.0);

        Form->UpdateActions();
        Form->GraphicTypeActions[VolumeDifferenceGraphic]->trigger();
        for (const QPointF& point : Chart(0).SeriesPoints(0)) QCOMPARE(point.y(), 0.0);
        // The difference curve starts where channel 2 first reached 0 degC.
        QVERIFY(Chart(1).SeriesPoints(0).first().x() > 0);
        QCOMPARE(Chart(1).LeftTitle(), QStringLiteral("ΔV(t),\ncm³"));

        Form->ClearGraphics();
        Form->ClearTettaPaintBox();
        QCOMPARE(Chart(1).SeriesPoints(0).size(), 0);
        QVERIFY(Chart(1).LeftTitle().isEmpty());
        QVERIFY(!Form->TettaStrip->HasData());
    }

    // Every graph type on every channel page, in the window at its initial
    // size and as large as a maximised window on a 1400 x 1000 desktop.
    void axisLabelsReadWholeAtTheInitialSizeAndMaximised() {
        const QSize initial = Form->size();
        for (const QSize& size : {QSize(720, 572), QSize(1024, 768), QSize(1400, 1000)}) {
            Form->resize(size);
            for (int type = 0; type < 6; ++type) {
                Form->UpdateActions();
                Form->GraphicTypeActions[std::size_t(type)]->trigger();
                for (int page = 0; page < 3; ++page) {
                    Form->GraphicPageControl->setCurrentIndex(page);
                    QCoreApplication::processEvents();
                    QCoreApplication::processEvents();
                    const QStringList faults = testing::ChartTextFaults(Chart(page));
                    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1x%2, type %3, page %4:\n")
                                                              .arg(size.width())
                                                              .arg(size.height())
                                                              .arg(type)
                                                              .arg(page + 1) +
                                                          faults.join('\n')));
                }
            }
        }
        Form->resize(initial);
        Form->GraphicPageControl->setCurrentIndex(0);
    }

    void scalingButtonsStoreOnlyForConcretePages() {
        Form->UpdateActions();
        Form->GraphicTypeActions[VolumeGraphic]->trigger();  // the settings may hold another type
        Form->UpdateActions();
        if (Form->ShowStandartPatternAction->isChecked()) Form->ShowStandartPatternAction->trigger();
        Form->ShowStandartPatternAction->trigger();
        QVERIFY(Form->ShowStandartPatternAction->isChecked());
        QCoreApplication::processEvents();
        Form->UpdateActions();
        QVERIFY(Form->StretchButton->isEnabled());
        QVERIFY(Chart(1).SeriesPoints(1).size() > 0);  // the reference curve beside the specimen's

        Form->GraphicPageControl->setCurrentIndex(1);
        for (int click = 0; click < 3; ++click) Form->StretchButton->click();
        QVERIFY(std::abs(Stretch(1) - 1.006) < 1e-9);
        Form->CompressButton->click();
        QVERIFY(std::abs(Stretch(1) - 1.004) < 1e-9);
        Form->UndoScaleButton->click();
        QCOMPARE(Stretch(1), 1.0);
        QCOMPARE(Form->GraphicPageControl->currentIndex(), 1);  // redrawn without moving to the first page

        Form->GraphicPageControl->setCurrentIndex(0);
        Form->StretchButton->click();
        QCOMPARE(Stretch(0), 1.0);
    }
};

ZEMVALKORTA_UI_TEST_MAIN(FrostGraphicMainFormTest)
#include "FrostGraphicMainFormTest.moc"
