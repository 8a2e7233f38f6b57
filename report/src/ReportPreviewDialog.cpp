#include "report/ReportPreviewDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "report/ReportRenderer.h"

namespace zemvalkorta {

namespace {

constexpr int PageGap = 12;
constexpr double ZoomStep = 1.25;
constexpr double MinimumZoom = 0.1;
constexpr double MaximumZoom = 6.0;

// Progress for work over many pages; cancelling stops after the current page.
ReportProgress ProgressOf(QProgressDialog& dialog) {
    return [&dialog](std::size_t done, std::size_t total) {
        dialog.setMaximum(static_cast<int>(total));
        dialog.setValue(static_cast<int>(done));
        QApplication::processEvents();
        return !dialog.wasCanceled();
    };
}

}  // namespace

ReportPageView::ReportPageView(const std::vector<ReportPage>& pages, QWidget* parent) : QWidget(parent), pages_(pages) {
    SetZoom(zoom_);
}

double ReportPageView::TwoPageZoom(int width) {
    return std::clamp((width - 3.0 * PageGap) / (2.0 * ReportPaperSize().width()), MinimumZoom, MaximumZoom);
}

void ReportPageView::SetZoom(double zoom) {
    zoom_ = std::clamp(zoom, MinimumZoom, MaximumZoom);
    const QSizeF paper = ReportPaperSize() * zoom_;
    const int rows = static_cast<int>((pages_.size() + 1) / 2);
    setFixedSize(static_cast<int>(std::ceil(2 * paper.width())) + 3 * PageGap,
                 rows * (static_cast<int>(std::ceil(paper.height())) + PageGap) + PageGap);
    update();
}

QRect ReportPageView::PageRect(int index) const {
    const QSizeF paper = ReportPaperSize() * zoom_;
    const int width = static_cast<int>(std::ceil(paper.width()));
    const int height = static_cast<int>(std::ceil(paper.height()));
    return QRect(PageGap + (index % 2) * (width + PageGap), PageGap + (index / 2) * (height + PageGap), width, height);
}

void ReportPageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    const int count = static_cast<int>(pages_.size());
    for (int index = 0; index < count; ++index) {
        const QRect page = PageRect(index);
        if (!page.intersects(event->rect())) continue;
        painter.fillRect(page.translated(3, 3), Qt::black);
        painter.fillRect(page, Qt::white);
        painter.save();
        painter.setClipRect(page);
        painter.translate(page.topLeft());
        painter.scale(zoom_, zoom_);
        RenderReportPage(painter, pages_[static_cast<std::size_t>(index)], index + 1, count);
        painter.restore();
    }
}

namespace {

// Wide enough for two pages side by side, but never larger than the screen
// it opens on, with room left for the window manager's frame and title bar.
QSize PreviewSize(const QWidget* parent) {
    const QSize wanted(1100, 560);
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return wanted;
    constexpr int FrameWidth = 16, FrameHeight = 48;
    return wanted.boundedTo(screen->availableGeometry().size() - QSize(FrameWidth, FrameHeight));
}

}  // namespace

ReportPreviewDialog::ReportPreviewDialog(const std::vector<ReportPage>& pages, QWidget* parent)
    : QDialog(parent, Qt::Window), pages_(pages), scrollArea_(new QScrollArea), view_(new ReportPageView(pages)) {
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    setModal(true);
    auto* toolBar = new QToolBar;
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar->addAction(QStringLiteral("Увеличить"), this, &ReportPreviewDialog::ZoomIn);
    toolBar->addAction(QStringLiteral("Уменьшить"), this, &ReportPreviewDialog::ZoomOut);
    toolBar->addAction(QStringLiteral("Две страницы"), this, &ReportPreviewDialog::ShowTwoPages);
    toolBar->addSeparator();
    toolBar->addAction(QStringLiteral("Печать"), this, &ReportPreviewDialog::Print);
    toolBar->addAction(QStringLiteral("Сохранить"), this, &ReportPreviewDialog::Save);
    toolBar->addSeparator();
    toolBar->addAction(QStringLiteral("Закрыть"), this, &QDialog::accept);

    scrollArea_->setWidget(view_);
    scrollArea_->setAlignment(Qt::AlignHCenter);
    scrollArea_->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(scrollArea_);
    scrollArea_->viewport()->installEventFilter(this);
    resize(PreviewSize(parent));
    ShowTwoPages();
}

void ReportPreviewDialog::ZoomIn() {
    fitting_ = false;
    view_->SetZoom(view_->Zoom() * ZoomStep);
}

void ReportPreviewDialog::ZoomOut() {
    fitting_ = false;
    view_->SetZoom(view_->Zoom() / ZoomStep);
}

void ReportPreviewDialog::ShowTwoPages() {
    fitting_ = true;
    const int scrollBar = scrollArea_->verticalScrollBar()->sizeHint().width();
    view_->SetZoom(ReportPageView::TwoPageZoom(scrollArea_->viewport()->width() - scrollBar));
}

// The viewport gets its final width only once the dialog is laid out and
// shown, so the two-page fit follows the viewport rather than the dialog.
bool ReportPreviewDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scrollArea_->viewport() && event->type() == QEvent::Resize && fitting_) ShowTwoPages();
    return QDialog::eventFilter(watched, event);
}

void ReportPreviewDialog::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPageLayout());
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, static_cast<int>(pages_.size()));
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PrintReport(pages_, printer))
        QMessageBox::critical(this, QStringLiteral("ZEMVALKORTA-1.0"), QStringLiteral("Не удалось начать печать."));
}

void ReportPreviewDialog::Save() {
    QString filter = JpegFilter;
    const QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить отчёт"), QString(),
                                                          JpegFilter + QStringLiteral(";;") + PdfFilter, &filter);
    if (fileName.isEmpty()) return;
    if (!SaveReport(fileName, filter) && !saveCancelled_)
        QMessageBox::critical(this, QStringLiteral("ZEMVALKORTA-1.0"),
                              QStringLiteral("Не удалось сохранить отчёт в файл %1.").arg(fileName));
}

bool ReportPreviewDialog::SaveReport(const QString& fileName, const QString& filter) {
    const bool pdf = filter == PdfFilter;
    QString target = fileName;
    const QString suffix = pdf ? QStringLiteral(".pdf") : QStringLiteral(".jpg");
    if (!target.endsWith(suffix, Qt::CaseInsensitive) &&
        !(!pdf && target.endsWith(QStringLiteral(".jpeg"), Qt::CaseInsensitive)))
        target += suffix;
    QProgressDialog progress(QStringLiteral("Сохранение отчёта..."), QStringLiteral("Отмена"), 0,
                             static_cast<int>(pages_.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = pdf ? ExportReportPdf(pages_, target, ProgressOf(progress))
                           : ExportReportJpeg(pages_, target, nullptr, ProgressOf(progress));
    QApplication::restoreOverrideCursor();
    saveCancelled_ = progress.wasCanceled();
    return saved;
}

}  // namespace zemvalkorta
