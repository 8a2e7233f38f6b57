#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>

#include "ReportSamples.h"
#include "report/PrintReportAction.h"
#include "report/ReportPreviewDialog.h"
#include "report/SelectReportTypeUnit.h"

namespace zemvalkorta {
namespace {

TEST(SelectReportType, OffersBothKindsAndStartsWithTheCurrentRecord) {
    TSelectReportTypeForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Выбор типа отчёта"));
    EXPECT_EQ(form.CurrentRecordRadioButton()->text(), QStringLiteral("Включить в отчёт только текущую запись"));
    EXPECT_EQ(form.AllRecordsRadioButton()->text(), QStringLiteral("Включить в отчёт все записи проекта"));
    EXPECT_EQ(form.GetReportKind(), 0);
    form.SetReportKind(5);
    EXPECT_EQ(form.GetReportKind(), 1);
    EXPECT_TRUE(form.AllRecordsRadioButton()->isChecked());
    EXPECT_FALSE(form.CurrentRecordRadioButton()->isChecked());
    form.SetReportKind(0);
    EXPECT_EQ(form.GetReportKind(), 0);
    EXPECT_GE(form.width(), 270);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());  // fixed size

    QPushButton* apply = nullptr;
    for (QPushButton* button : form.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Применить")) apply = button;
    ASSERT_NE(apply, nullptr);
    EXPECT_TRUE(apply->isDefault());
    QTimer::singleShot(0, &form, [&form] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&form, &escape);
    });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
}

struct Pages {
    explicit Pages(std::vector<std::optional<TMeasureResult>> list, int scope = CurrentRecordReport)
        : rows(std::move(list)) {
        ReportJob job(rows, ReportOptions{});
        job.Build(report, scope);
    }
    MeasureListRows rows;
    CompositeReport report;
};

TEST(ReportPreview, OpensAtTwoPagesSideBySideAndZooms) {
    Pages pages(samples::Rows({samples::Measure(7, 1)}));
    ASSERT_EQ(pages.report.Pages().size(), 3u);
    ReportPreviewDialog preview(pages.report.Pages());
    preview.show();
    QApplication::processEvents();
    const QSize screen = preview.screen()->availableGeometry().size();
    EXPECT_LE(preview.width(), screen.width());  // a small screen shows the whole window
    EXPECT_LE(preview.height(), screen.height());
    ReportPageView* view = preview.PageView();
    const QRect first = view->PageRect(0);
    const QRect second = view->PageRect(1);
    EXPECT_EQ(first.top(), second.top());
    EXPECT_GT(second.left(), first.right());
    const QWidget* viewport = preview.findChild<QScrollArea*>()->viewport();
    EXPECT_LE(second.right(), viewport->width());
    EXPECT_GT(second.right(), viewport->width() * 3 / 4);  // the two pages fill the width
    EXPECT_GT(view->PageRect(2).top(), first.bottom());

    const double fitted = view->Zoom();
    preview.ZoomIn();
    EXPECT_GT(view->Zoom(), fitted);
    preview.ShowTwoPages();
    EXPECT_DOUBLE_EQ(view->Zoom(), fitted);
    preview.ZoomOut();
    EXPECT_LT(view->Zoom(), fitted);

    const QImage shot = view->grab(view->PageRect(0)).toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) dark += qGray(shot.pixel(x, y)) < 128;
    EXPECT_GT(dark, 50);  // the table page is drawn, not left blank
}

TEST(ReportPreview, SavesPicturesByDefaultAndPdfOnRequest) {
    Pages pages(samples::Rows({samples::Measure(3, 16)}));
    ReportPreviewDialog preview(pages.report.Pages());
    QTemporaryDir folder;
    ASSERT_TRUE(preview.SaveReport(folder.filePath("report"), JpegFilter));
    EXPECT_EQ(QDir(folder.path()).entryList({"*.jpg"}, QDir::Files), (QStringList{"report_1.jpg", "report_2.jpg"}));
    ASSERT_TRUE(preview.SaveReport(folder.filePath("report"), PdfFilter));
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("report.pdf")));
    EXPECT_FALSE(preview.SaveReport("/nonexistent/folder/report.pdf", PdfFilter));
}

// Answers the modal dialogs of the report command as an operator would.
void AnswerDialogs(bool apply, int kind, int* previews) {
    QTimer::singleShot(50, [=] {
        auto* form = qobject_cast<TSelectReportTypeForm*>(QApplication::activeModalWidget());
        if (form == nullptr) return;
        form->SetReportKind(kind);
        if (!apply) {
            form->reject();
            return;
        }
        form->accept();
        QTimer::singleShot(50, [=] {
            if (auto* preview = qobject_cast<ReportPreviewDialog*>(QApplication::activeModalWidget())) {
                ++*previews;
                preview->accept();
            }
        });
    });
}

TEST(PrintReportAction, RunsTheDialogThenThePreview) {
    MeasureListRows rows(samples::Rows({samples::Measure(7, 1), samples::Measure(2, 2)}), 1);
    int scope = -1;
    int previews = 0;
    AnswerDialogs(true, 1, &previews);
    EXPECT_TRUE(PrintReportActionExecute(nullptr, rows, ReportOptions{}, scope));
    EXPECT_EQ(scope, 1);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(rows.Current(), 1);

    AnswerDialogs(false, 1, &previews);
    EXPECT_FALSE(PrintReportActionExecute(nullptr, rows, ReportOptions{}, scope));
    EXPECT_EQ(scope, 1);  // kept whatever closed the dialog
    EXPECT_EQ(previews, 1);

    MeasureListRows standardOnly(samples::Rows({samples::Measure(2, 2)}));
    AnswerDialogs(true, 1, &previews);  // every record, none with a concrete specimen: nothing shown
    EXPECT_FALSE(PrintReportActionExecute(nullptr, standardOnly, ReportOptions{}, scope));
    EXPECT_EQ(previews, 1);
}

}  // namespace
}  // namespace zemvalkorta
