#include "report/ReportRenderer.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPageSize>
#include <QPaintDevice>
#include <QPdfWriter>
#include <QPen>

namespace zemvalkorta {

namespace {

void DrawText(QPainter& painter, const ReportTextField& field) {
    if (field.Lines.isEmpty()) return;
    painter.setFont(ReportFont(painter.device(), field.Family, field.PointSize, field.Bold));
    int flags = static_cast<int>(field.Alignment);
    if (field.WordWrap) flags |= Qt::TextWordWrap;
    painter.drawText(field.Box, flags, field.Lines.join(QLatin1Char('\n')));
}

void DrawRule(QPainter& painter, const ReportRule& rule) {
    QPen pen(Qt::black, rule.Width);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.drawLine(rule.Line);
}

void DrawPageNumber(QPainter& painter, const ReportPageNumberField& field, int pageNumber, int pageCount) {
    DrawRule(painter, ReportRule{QLineF(field.Box.topLeft(), field.Box.topRight()), field.RuleWidth});
    painter.setFont(ReportFont(painter.device(), field.Family, field.PointSize));
    painter.drawText(field.Box, Qt::AlignCenter, QStringLiteral("Страница %1 из %2").arg(pageNumber).arg(pageCount));
}

}  // namespace

QPageLayout ReportPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

QSizeF ReportPaperSize() {
    const QSizeF millimetres = ReportPageLayout().fullRect(QPageLayout::Millimeter).size();
    return millimetres * (TemplateUnitsPerInch / 25.4);
}

void ScaleToTemplateUnits(QPainter& painter, double dotsPerInchX, double dotsPerInchY) {
    painter.scale(dotsPerInchX / TemplateUnitsPerInch, dotsPerInchY / TemplateUnitsPerInch);
}

void RenderReportPage(QPainter& painter, const ReportPage& page, int pageNumber, int pageCount) {
    InstallReportFonts();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(ReportOriginX, ReportOriginY);
    const ReportPageTemplate& layout = page.Layout();
    for (const auto& rule : layout.Rules) DrawRule(painter, rule);
    painter.setPen(Qt::black);
    for (const auto& field : layout.Texts) DrawText(painter, field);
    if (layout.Chart && page.Chart()) DrawReportChart(painter, layout.Chart->Box, *page.Chart());
    painter.setPen(Qt::black);
    DrawPageNumber(painter, layout.PageNumber, pageNumber, pageCount);
    painter.restore();
}

QImage RenderReportPageImage(const ReportPage& page, int pageNumber, int pageCount, double dotsPerInch) {
    const QSizeF paper = ReportPaperSize() * (dotsPerInch / TemplateUnitsPerInch);
    QImage image(paper.toSize(), QImage::Format_RGB32);
    const int dotsPerMetre = qRound(dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    ScaleToTemplateUnits(painter, dotsPerInch, dotsPerInch);
    RenderReportPage(painter, page, pageNumber, pageCount);
    return image;
}

bool ExportReportPdf(const std::vector<ReportPage>& pages, const QString& fileName, const ReportProgress& progress,
                     int resolution) {
    if (pages.empty()) return false;
    QPdfWriter writer(fileName);
    writer.setPageLayout(ReportPageLayout());
    writer.setResolution(resolution > 0 ? resolution : ReportPdfResolution);
    writer.setCreator(QStringLiteral("ZEMVALKORTA-1.0"));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const int count = static_cast<int>(pages.size());
    for (int index = 0; index < count; ++index) {
        if (index > 0 && !writer.newPage()) return false;
        painter.save();
        ScaleToTemplateUnits(painter, writer.resolution(), writer.resolution());
        RenderReportPage(painter, pages[static_cast<std::size_t>(index)], index + 1, count);
        painter.restore();
        if (progress && !progress(static_cast<std::size_t>(index + 1), pages.size())) {
            painter.end();
            QFile::remove(fileName);  // a cut-off report must not pass for a whole one
            return false;
        }
    }
    return painter.end();
}

bool PrintReport(const std::vector<ReportPage>& pages, QPrinter& printer) {
    const int count = static_cast<int>(pages.size());
    int first = 1;
    int last = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = std::min(count, printer.toPage());
    }
    if (first > last) return false;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    for (int number = first; number <= last; ++number) {
        if (number > first && !printer.newPage()) return false;
        painter.save();
        ScaleToTemplateUnits(painter, printer.resolution(), printer.resolution());
        RenderReportPage(painter, pages[static_cast<std::size_t>(number - 1)], number, count);
        painter.restore();
    }
    return painter.end();
}

QString ReportJpegName(const QString& fileName, int pageNumber) {
    const QFileInfo info(fileName);
    QString suffix = info.suffix();
    if (suffix.isEmpty()) suffix = QStringLiteral("jpg");
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("_%1.").arg(pageNumber) + suffix);
}

bool ExportReportJpeg(const std::vector<ReportPage>& pages, const QString& fileName, QStringList* written,
                      const ReportProgress& progress, double dotsPerInch) {
    if (pages.empty()) return false;
    const int count = static_cast<int>(pages.size());
    QStringList names;
    for (int index = 0; index < count; ++index) {
        const QString name = ReportJpegName(fileName, index + 1);
        const QImage image = RenderReportPageImage(pages[static_cast<std::size_t>(index)], index + 1, count,
                                                   dotsPerInch > 0 ? dotsPerInch : ReportJpegDpi);
        if (!image.save(name, "JPEG", ReportJpegQuality)) return false;
        names.append(name);
        if (progress && !progress(static_cast<std::size_t>(index + 1), pages.size())) {
            for (const QString& partial : names) QFile::remove(partial);
            return false;
        }
    }
    if (written) *written = names;
    return true;
}

}  // namespace zemvalkorta
