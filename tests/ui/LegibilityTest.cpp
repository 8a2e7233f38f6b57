// Every window legible in the desktop's font, at its initial size and
// maximised, on a 1400 x 1000 screen; run once in the C locale and once in
// the Russian one (the locale comes from LC_ALL and must be installed).

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>
#include <cstdio>
#include <functional>

#include "Legibility.h"
#include "UiTestSupport.h"
#include "device/USB.h"
#include "device/sim/InstrumentServer.h"
#include "report/SelectReportTypeUnit.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/AboutForm.h"
#include "ui/DeviceScreenShotForm.h"
#include "ui/DownloadForm.h"
#include "ui/FileDialogs.h"
#include "ui/MainForm.h"
#include "ui/MessageBoxes.h"
#include "ui/SetChannelPropertiesForm.h"
#include "ui/SetColorsForm.h"
#include "ui/SetParamForm.h"
#include "ui/ViewFTableForm.h"

using namespace zemvalkorta;

namespace {

constexpr int ScreenWidth = 1400;
constexpr int ScreenHeight = 1000;

QStringList IllegibleTextsAt(const QWidget& window, const QString& size) {
    QStringList faults = testing::IllegibleTexts(&window);
    for (QString& fault : faults)
        fault = QStringLiteral("%1 %2x%3: ").arg(size).arg(window.width()).arg(window.height()) + fault;
    return faults;
}

// Shows `window` at its initial size, then maximised, and returns what cannot be read in either.
QStringList CheckBothSizes(QWidget& window, const std::function<void()>& settle = {}) {
    QStringList faults;
    const QSize initial = window.size();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return {QStringLiteral("%1 not shown").arg(window.windowTitle())};
    if (settle) settle();
    QCoreApplication::processEvents();
    faults << IllegibleTextsAt(window, QStringLiteral("initial size"));
    // A window of fixed size cannot be maximised.
    if (window.minimumSize() != window.maximumSize()) {
        window.showMaximized();
        QCoreApplication::processEvents();
        if (settle) settle();
        QCoreApplication::processEvents();
        faults << IllegibleTextsAt(window, QStringLiteral("maximised"));
    }
    window.showNormal();
    window.resize(initial);
    window.hide();
    return faults;
}

}  // namespace

// Every fault on a line of its own: the test's own message would be cut short.
void Report(const QStringList& faults) {
    for (const QString& fault : faults) std::fprintf(stderr, "  %s\n", qPrintable(fault));
}

class LegibilityTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ScreenAndLocaleAreTheOnesAskedFor() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        QCOMPARE(screen->geometry().size(), QSize(ScreenWidth, ScreenHeight));
        const QByteArray wanted = qgetenv("LC_ALL");
        if (wanted.startsWith("ru_RU")) QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    }

    void Dialogs() {
        QStringList faults;
        {
            TSetParamForm form;
            form.SetModelEnabled(true);
            form.SetModelCoefficients({-2.0001e-3, 2.3487e-4, -1.2345e-5, 6.789e-7});
            form.SetConcreteKind(3);
            form.SetGeometryKind(2);
            faults << CheckBothSizes(form);
        }
        for (int geometry : {0, 2}) {
            TSetChannelPropertiesForm form;
            form.SetChannelNumber(3);
            form.SetDimensions(geometry, {100, 100, 100});
            form.SetPrimaryWeight(2345.6);
            form.SetSaturatedWeight(0);
            form.SetPatternAge(QStringLiteral("28 сут"));
            faults << CheckBothSizes(form);
        }
        {
            TSetColorsForm form;
            form.SetStandardColor(0);
            form.SetColorCount(3);
            faults << CheckBothSizes(form);
        }
        {
            TAboutForm form;
            form.LoadVersionInfo(BuildVersionInfo());
            faults << CheckBothSizes(form);
        }
        {
            TViewFTableForm form;
            faults << CheckBothSizes(form);
        }
        {
            TDownloadForm form(nullptr);
            form.DownloadGauge->setValue(66);
            faults << CheckBothSizes(form);
        }
        {
            TDownloadSummaryForm form;
            form.SetResultsInDeviceMemory(120);
            form.SetResultsAddedToProject(120);
            faults << CheckBothSizes(form);
        }
        {
            TDeviceScreenShotForm form(nullptr);
            faults << CheckBothSizes(form);
        }
        {
            TSelectReportTypeForm form;
            faults << CheckBothSizes(form);
        }
        Report(faults);
        QVERIFY2(faults.isEmpty(), "texts that cannot be read, listed above");
    }

    void MainWindowWithAProjectOpen() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        sim::GeneratorOptions generator;
        generator.Count = 4;
        generator.Seed = 11;
        sim::InstrumentServerOptions options;
        options.SocketPath = (folder.path() + QStringLiteral("/instrument.sock")).toStdString();
        sim::InstrumentServer instrument(sim::GenerateContent(generator), options);
        QCOMPARE(QString::fromStdString(instrument.Start()), QString());

        QString nextFile = folder.filePath(QStringLiteral("legible.fdb"));
        SetFileDialogResponder([&nextFile](FileDialogKind, const QString&) { return std::exchange(nextFile, {}); });
        QStringList messages;
        SetMessageResponder([&messages](const MessageRequest& request) {
            messages << request.Text;
            return MessageAnswer::No;
        });
        QStringList faults;
        {
            TMainDataModule data;
            TMainForm form(data, folder.filePath(QStringLiteral("zemvalkorta.ini")));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            UsbOptions usb;
            usb.UseLibusb = false;
            usb.InstrumentSocket = options.SocketPath;
            QCOMPARE(UsbInit(usb), 0u);
            QTRY_VERIFY_WITH_TIMEOUT(IsDeviceConnected(), 5000);
            form.CreateNewProjectAction->trigger();
            QVERIFY(data.IsProjectOpen());
            testing::AnswerNextDialog<TDownloadSummaryForm>(
                &form, [](TDownloadSummaryForm& summary) { summary.accept(); }, 2000);
            QCoreApplication::processEvents();
            form.UpdateActions();
            form.ReadFromDeviceAction->trigger();
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
            QCOMPARE(data.GetRecordCount(), 4);
            QCOMPARE(form.size(), QSize(720, 572));

            for (int type = 0; type < 6; ++type) {
                form.UpdateActions();
                form.GraphicTypeActions[std::size_t(type)]->trigger();
                for (int page = 0; page < form.GraphicPageControl->count(); ++page) {
                    form.GraphicPageControl->setCurrentIndex(page);
                    QStringList found = CheckBothSizes(form, [&form] { form.UpdateActions(); });
                    for (QString& fault : found)
                        fault = QStringLiteral("graph %1, page %2, ").arg(type).arg(page + 1) + fault;
                    faults << found;
                    form.show();
                    QVERIFY(QTest::qWaitForWindowExposed(&form));
                }
            }
            form.hide();
            data.CloseProject();
        }
        UsbDone();
        instrument.Stop();
        SetMessageResponder({});
        SetFileDialogResponder({});
        faults.removeDuplicates();
        QStringList chartFaults;
        for (const QString& fault : std::as_const(faults))
            if (fault.contains(QLatin1String("chart text"))) chartFaults << fault;
        for (const QString& fault : std::as_const(chartFaults)) faults.removeOne(fault);
        Report(faults);
        QVERIFY2(faults.isEmpty(), "texts that cannot be read, listed above");
        Report(chartFaults);
        QVERIFY2(chartFaults.isEmpty(), "chart texts cut short, listed above");
    }
};

int main(int argc, char** argv) {
    // The locale asked for must exist: a missing one is a broken installation, not a reason to skip.
    const char* wanted = std::getenv("LC_ALL");
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "FAIL: the locale \"%s\" is not installed\n", wanted ? wanted : "");
        return 1;
    }
    QTemporaryDir config;
    if (!config.isValid()) return 1;
    const QString configFile = config.filePath(QStringLiteral("screen.json"));
    {
        QFile file(configFile);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write(QStringLiteral("{\"synchronousWindowSystemEvents\": false, \"windowFrameMargins\": true, "
                                  "\"screens\": [{\"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": %1, "
                                  "\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                       .arg(ScreenWidth)
                       .arg(ScreenHeight)
                       .toUtf8());
    }
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + configFile).toLocal8Bit());
    qInstallMessageHandler(testing::FailOnWarning);
    QApplication application(argc, argv);
    // The font of an X desktop without a theme of its own, which the program gets there.
    QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
    QLocale::setDefault(QLocale::system());
    ApplyLocaleFormatSettings();
    LegibilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LegibilityTest.moc"
