// Commands that talk to the instrument, the report and the export.

#include <QCoreApplication>
#include <QFile>
#include <QTableView>

#include "device/DownloadUnit.h"
#include "device/USB.h"
#include "report/DataModuleRows.h"
#include "report/PrintReportAction.h"
#include "storage/MainDataModuleUnit.h"
#include "storage/TextExport.h"
#include "ui/DeviceScreenShotForm.h"
#include "ui/DownloadForm.h"
#include "ui/FileDialogs.h"
#include "ui/MainForm.h"
#include "ui/MessageBoxes.h"

namespace zemvalkorta {

void TMainForm::ReadFromDeviceActionExecute() {
    if (!IsDeviceConnected()) {
        ShowMessage(this, QString::fromUtf8(DeviceNotConnectedText), MessageIcon::Error);
        return;
    }
    PostEditors();
    TArrayOfMeasureResult records;
    bool success = false;
    std::uint32_t status = 0xFFFFFFFF;
    {
        TDownloadForm form(UsbUnit(), this);
        form.RunDownloadThread();
        form.exec();
        form.Finish();
        success = form.Succeeded();
        status = form.ResultStatus();
        if (success) records = form.TakeResults();
    }
    if (!success) {
        records.clear();
        if (status != 0) ShowMessage(this, QString::fromStdString(CommunicationErrorText(status)), MessageIcon::Error);
        FocusMeasureList();
        return;
    }
    const int added = records.empty() ? 0 : StoreDownloadedMeasures(Data, records);
    TDownloadSummaryForm summary(this);
    summary.SetResultsInDeviceMemory(int(records.size()));
    summary.SetResultsAddedToProject(added);
    summary.exec();
    records.clear();
    FocusMeasureList();
}

void TMainForm::ScreenShotActionExecute() {
    TDeviceScreenShotForm form(UsbUnit(), this);
    form.SetPenColor(CurrentSettings.PenColor);
    form.SetBackgroundColor(CurrentSettings.BackgroundColor);
    form.SetFileName(QString::fromStdString(ScreenshotFilePath().string()));
    form.exec();
    CurrentSettings.PenColor = form.PenColor();
    CurrentSettings.BackgroundColor = form.BackgroundColor();
}

void TMainForm::PrintReportActionExecute() {
    PostEditors();
    DataModuleRows rows(Data);
    ReportOptions options;
    for (int channel = 0; channel < ChannelCount; ++channel)
        options.ChannelColours[std::size_t(channel)] = ToQColor(CurrentSettings.SeriesColor[std::size_t(channel)]);
    zemvalkorta::PrintReportActionExecute(this, rows, options, ReportScope, MainDBGrid);
}

void TMainForm::ExportActionExecute() {
    PostEditors();
    const QString fileName = ChooseFile(this, FileDialogKind::ExportText, ProjectsPath);
    if (fileName.isEmpty()) return;
    TMeasureResult measure;
    if (Data.ReadMeasure(measure) != 0) return;
    ExportMeasureText(measure, QFile::encodeName(fileName).toStdString());
}

}  // namespace zemvalkorta
