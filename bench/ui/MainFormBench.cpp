// Figures for the main window: ShowResult of a full-size three-channel
// measurement, and one step of the measurement list with the arrow key held
// down through 2,000 measurements. Both targets are 30 ms per step.

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "device/USB.h"
#include "device/sim/InstrumentServer.h"
#include "report/LocaleFormat.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/DownloadForm.h"
#include "ui/FileDialogs.h"
#include "ui/MainForm.h"
#include "ui/MessageBoxes.h"

using namespace zemvalkorta;

namespace {

struct Figures {
    double Mean = 0;
    double Worst = 0;
    double Percentile99 = 0;
    int OverTarget = 0;
};

Figures Summarise(const std::vector<double>& milliseconds) {
    Figures figures;
    for (double value : milliseconds) figures.Mean += value;
    figures.Mean /= double(std::max<std::size_t>(milliseconds.size(), 1));
    if (milliseconds.empty()) return figures;
    std::vector<double> sorted = milliseconds;
    std::sort(sorted.begin(), sorted.end());
    figures.Worst = sorted.back();
    figures.Percentile99 = sorted[sorted.size() * 99 / 100];
    figures.OverTarget = int(std::count_if(sorted.begin(), sorted.end(), [](double value) { return value > 30.0; }));
    return figures;
}

// Creates a project and downloads the instrument into it through the window's own commands.
bool LoadProject(TMainForm& form, TMainDataModule& data, const QString& path, const std::filesystem::path& socket) {
    UsbOptions usb;
    usb.UseLibusb = false;
    usb.InstrumentSocket = socket;
    if (UsbInit(usb) != 0) return false;
    for (int i = 0; i < 100 && !IsDeviceConnected(); ++i) QTest::qWait(50);
    SetFileDialogResponder([path](FileDialogKind, const QString&) { return path; });
    form.UpdateActions();
    form.CreateNewProjectAction->trigger();
    std::function<void()> closeSummary = [&closeSummary, &form] {
        if (auto* summary = qobject_cast<TDownloadSummaryForm*>(QApplication::activeModalWidget()))
            summary->accept();
        else
            QTimer::singleShot(20, &form, closeSummary);
    };
    QTimer::singleShot(20, &form, closeSummary);
    form.UpdateActions();
    form.ReadFromDeviceAction->trigger();
    return data.GetRecordCount() > 0;
}

std::unique_ptr<sim::InstrumentServer> StartInstrument(const QTemporaryDir& folder, const char* name, int count,
                                                       bool fullSize) {
    sim::GeneratorOptions generator;
    generator.Count = count;
    generator.Seed = 11;
    generator.FullSize = fullSize;
    sim::InstrumentServerOptions options;
    options.SocketPath = folder.filePath(QString::fromLatin1(name)).toStdString();
    auto server = std::make_unique<sim::InstrumentServer>(sim::GenerateContent(generator), options);
    if (!server->Start().empty()) return nullptr;
    return server;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ApplyLocaleFormatSettings();
    SetMessageResponder([](const MessageRequest& request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.Text));
        return MessageAnswer::No;
    });
    QTemporaryDir folder;
    TMainDataModule data;
    TMainForm form(data, folder.filePath(QStringLiteral("bench.ini")));
    form.show();

    {
        auto instrument = StartInstrument(folder, "full.sock", 3, true);
        if (!instrument ||
            !LoadProject(form, data, folder.filePath(QStringLiteral("full.fdb")), instrument->SocketPath()))
            return 1;
        std::vector<double> steps;
        for (int i = 0; i < 50; ++i) {
            QElapsedTimer timer;
            timer.start();
            form.ShowResult(true);
            QCoreApplication::processEvents();
            steps.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        const Figures figures = Summarise(steps);
        // A picture of the window as measured, for a look at the layout.
        if (const QByteArray picture = qgetenv("ZEMVALKORTA_BENCH_PICTURE"); !picture.isEmpty())
            form.grab().save(QString::fromLocal8Bit(picture));
        std::printf("ShowResult, 3 channels x 4320 samples: mean %.2f ms, worst %.2f ms (target 30 ms)\n", figures.Mean,
                    figures.Worst);
        instrument->Stop();
    }
    {
        auto instrument = StartInstrument(folder, "many.sock", 2000, false);
        if (!instrument ||
            !LoadProject(form, data, folder.filePath(QStringLiteral("many.fdb")), instrument->SocketPath()))
            return 1;
        data.ResultDataSet().First();
        form.MainDBGrid->setFocus();
        std::vector<double> steps;
        for (int row = 1; row < data.GetRecordCount(); ++row) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(form.MainDBGrid, Qt::Key_Down);
            QCoreApplication::processEvents();
            steps.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        const Figures figures = Summarise(steps);
        std::printf(
            "List step with the arrow key, %d measurements: mean %.2f ms, 99%% %.2f ms, worst %.2f ms, %d steps over "
            "the 30 ms target\n",
            data.GetRecordCount(), figures.Mean, figures.Percentile99, figures.Worst, figures.OverTarget);
        std::printf("Rows walked: %d of %d\n", data.ResultDataSet().RecNo(), data.GetRecordCount());
        instrument->Stop();
    }
    data.CloseProject();
    UsbDone();
    SetMessageResponder({});
    SetFileDialogResponder({});
    return 0;
}
