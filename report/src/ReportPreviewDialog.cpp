#include "report/ReportPreviewDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
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

ReportPageView::ReportPageView(const std::vector<ReportPage>& pages, QWidget* parent)
    : QWidget(parent), m_pages(pages) {
    SetZoom(m_zoom);
}

double ReportPageView::TwoPageZoom(int width) {
    return std::clamp((width - 3.0 * PageGap) / (2.0 * ReportPaperSize().width()), MinimumZoom, MaximumZoom);
}

void ReportPageView::SetZoom(double zoom) {
    m_zoom = std::clamp(zoom, MinimumZoom, MaximumZoom);
    const QSizeF paper = ReportPaperSize() * m_zoom;
    const int rows = static_cast<int>((m_pages.size() + 1) / 2);
    setFixedSize(static_cast<int>(std::ceil(2 * paper.width())) + 3 * PageGap,
                 rows * (static_cast<int>(std::ceil(paper.height())) + PageGap) + PageGap);
    update();
}

QRect ReportPageView::PageRect(int index) const {
    const QSizeF paper = ReportPaperSize() * m_zoom;
    const int width = static_cast<int>(std::ceil(paper.width()));
    const int height = static_cast<int>(std::ceil(paper.height()));
    return QRect(PageGap + (index % 2) * (width + PageGap), PageGap + (index / 2) * (height + PageGap), width, height);
}

void ReportPageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    const int count = static_cast<int>(m_pages.size());
    for (int index = 0; index < count; ++index) {
        const QRect page = PageRect(index);
        if (!page.intersects(event->rect())) continue;
        painter.fillRect(page.translated(3, 3), Qt::black);
        painter.fillRect(page, Qt::white);
        painter.save();
        painter.setClipRect(page);
        painter.translate(page.topLeft());
        painter.scale(m_zoom, m_zoom);
        RenderReportPage(painter, m_pages[static_cast<std::size_t>(index)], index + 1, count);
        painter.restore();
    }
}

ReportPreviewDialog::ReportPreviewDialog(const std::vector<ReportPage>& pages, QWidget* parent)
    : QDialog(parent, Qt::Window), m_pages(pages), m_scrollArea(new QScrollArea), m_view(new ReportPageView(pages)) {
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

    m_scrollArea->setWidget(m_view);
    m_scrollArea->setAlignment(Qt::AlignHCenter);
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_scrollArea);
    m_scrollArea->viewport()->installEventFilter(this);
    resize(1100, 560);
    ShowTwoPages();
}

void ReportPreviewDialog::ZoomIn() {
    m_fitting = false;
    m_view->SetZoom(m_view->Zoom() * ZoomStep);
}

void ReportPreviewDialog::ZoomOut() {
    m_fitting = false;
    m_view->SetZoom(m_view->Zoom() / ZoomStep);
}

void ReportPreviewDialog::ShowTwoPages() {
    m_fitting = true;
    const int scrollBar = m_scrollArea->verticalScrollBar()->sizeHint().width();
    m_view->SetZoom(ReportPageView::TwoPageZoom(m_scrollArea->viewport()->width() - scrollBar));
}

// The viewport gets its final width only once the dialog is laid out and
// shown, so the two-page fit follows the viewport rather than the dialog.
bool ReportPreviewDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scrollArea->viewport() && event->type() == QEvent::Resize && m_fitting) ShowTwoPages();
    return QDialog::eventFilter(watched, event);
}

void ReportPreviewDialog::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPageLayout());
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, static_cast<int>(m_pages.size()));
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PrintReport(m_pages, printer))
        QMessageBox::critical(this, QStringLiteral("ZEMVALKORTA-1.0"), QStringLiteral("Не удалось начать печать."));
}

void ReportPreviewDialog::Save() {
    QString filter = JpegFilter;
    const QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить отчёт"), QString(),
                                                          JpegFilter + QStringLiteral(";;") + PdfFilter, &filter);
    if (fileName.isEmpty()) return;
    if (!SaveReport(fileName, filter) && !m_saveCancelled)
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
                             static_cast<int>(m_pages.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = pdf ? ExportReportPdf(m_pages, target, ProgressOf(progress))
                           : ExportReportJpeg(m_pages, target, nullptr, ProgressOf(progress));
    QApplication::restoreOverrideCursor();
    m_saveCancelled = progress.wasCanceled();
    return saved;
}

}  // namespace zemvalkorta
