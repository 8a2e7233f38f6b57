#include "report/PrintReportAction.h"

#include <QApplication>
#include <QProgressDialog>

#include "report/ReportPreviewDialog.h"
#include "report/SelectReportTypeUnit.h"

namespace zemvalkorta {

bool PrintReportActionExecute(QWidget* parent, ReportRows& rows, const ReportOptions& options, int& reportScope,
                              QWidget* mainDBGrid) {
    bool accepted = false;
    {
        TSelectReportTypeForm form(parent);
        form.SetReportKind(0);
        accepted = form.exec() == QDialog::Accepted;
        reportScope = form.GetReportKind();
    }
    bool shown = false;
    if (accepted) {
        CompositeReport report;
        ReportJob job(rows, options);
        QProgressDialog progress(QStringLiteral("Подготовка отчёта..."), QStringLiteral("Отмена"), 0, 0, parent);
        progress.setWindowTitle(QStringLiteral("ZEMVALKORTA-1.0"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(300);
        progress.setAutoReset(false);
        const bool prepared = job.Build(report, reportScope, [&progress](std::size_t done, std::size_t total) {
            progress.setMaximum(static_cast<int>(total));
            progress.setValue(static_cast<int>(done));
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
        progress.close();
        if (prepared) {
            ReportPreviewDialog preview(report.Pages(), parent);
            preview.exec();
            shown = true;
        }
    }
    if (accepted && mainDBGrid && mainDBGrid->isEnabled() && mainDBGrid->isVisible() &&
        mainDBGrid->focusPolicy() != Qt::NoFocus)
        mainDBGrid->setFocus();
    return shown;
}

}  // namespace zemvalkorta
