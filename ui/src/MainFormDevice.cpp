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
    const int added = records.empty() ? 0 : StoreDownloadedMeasures(data_, records);
    TDownloadSummaryForm summary(this);
    summary.SetResultsInDeviceMemory(int(records.size()));
    summary.SetResultsAddedToProject(added);
    summary.exec();
    records.clear();
    FocusMeasureList();
}

void TMainForm::ScreenShotActionExecute() {
    TDeviceScreenShotForm form(UsbUnit(), this);
    form.SetPenColor(currentSettings_.PenColor);
    form.SetBackgroundColor(currentSettings_.BackgroundColor);
    form.SetFileName(QString::fromStdString(ScreenshotFilePath().string()));
    form.exec();
    currentSettings_.PenColor = form.PenColor();
    currentSettings_.BackgroundColor = form.BackgroundColor();
}

void TMainForm::PrintReportActionExecute() {
    PostEditors();
    DataModuleRows rows(data_);
    ReportOptions options;
    for (int channel = 0; channel < ChannelCount; ++channel)
        options.ChannelColours[std::size_t(channel)] = ToQColor(currentSettings_.SeriesColor[std::size_t(channel)]);
    zemvalkorta::PrintReportActionExecute(this, rows, options, ReportScope, MainDBGrid);
}

void TMainForm::ExportActionExecute() {
    PostEditors();
    const QString fileName = ChooseFile(this, FileDialogKind::ExportText, projectsPath_);
    if (fileName.isEmpty()) return;
    TMeasureResult measure;
    if (data_.ReadMeasure(measure) != 0) return;
    ExportMeasureText(measure, QFile::encodeName(fileName).toStdString());
}

}  // namespace zemvalkorta
