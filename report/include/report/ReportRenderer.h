#pragma once

// Draws prepared report pages as vectors onto any paint device: the preview,
// a printer, a PDF file or a picture.

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "report/CompositeReport.h"
#include "report/ReportChart.h"
#include "report/ReportPage.h"

namespace zemvalkorta {

// Where the template's origin lies on the paper, in template units.
inline constexpr double ReportOriginX = 26.0;
inline constexpr double ReportOriginY = 26.0;
inline constexpr int ReportJpegQuality = 100;
inline constexpr double ReportJpegDpi = 150.0;

// A4 landscape, no printer margins: the templates place their objects themselves.
QPageLayout ReportPageLayout();
// Paper size in template units.
QSizeF ReportPaperSize();

// Makes the template fonts resolve to installed metric-compatible faces where
// the named ones are missing. Safe to call more than once.
void InstallReportFonts();
// A template font of pointSize points for a painter that paints on device
// in template units: the device resolves point sizes itself, so the size is
// taken back by its resolution. Unhinted, so that a text measures the same in
// template units on every device and every output gets one layout.
QFont ReportFont(const QPaintDevice* device, const QString& family, double pointSize, bool bold = false);

// Draws one page. The painter's coordinates must be template units with the
// paper's top-left corner at 0,0; see ScaleToTemplateUnits.
void RenderReportPage(QPainter& painter, const ReportPage& page, int pageNumber, int pageCount);
// Sets the painter to template units over a device of the given resolution.
void ScaleToTemplateUnits(QPainter& painter, double dotsPerInchX, double dotsPerInchY);

// The chart field's drawing, exposed for the preview of the graph alone.
void DrawReportChart(QPainter& painter, const QRectF& box, const ReportChart& chart);

QImage RenderReportPageImage(const ReportPage& page, int pageNumber, int pageCount, double dotsPerInch);

// Both return false when the file could not be written or the export was
// cancelled through progress.
// The resolution changes nothing of the layout, only the grid that the PDF's
// coordinates are rounded to.
inline constexpr int ReportPdfResolution = 600;
bool ExportReportPdf(const std::vector<ReportPage>& pages, const QString& fileName, const ReportProgress& progress = {},
                     int resolution = ReportPdfResolution);
// Writes one JPEG per page, named after fileName with "_<page number>" before
// the extension; the written names go to written.
bool ExportReportJpeg(const std::vector<ReportPage>& pages, const QString& fileName, QStringList* written = nullptr,
                      const ReportProgress& progress = {}, double dotsPerInch = ReportJpegDpi);
QString ReportJpegName(const QString& fileName, int pageNumber);

// Prints the pages, or the range the printer was given (its print dialog's
// "pages from ... to"), clamped to the report. False when there is no page
// to print or the printer refused to start.
bool PrintReport(const std::vector<ReportPage>& pages, QPrinter& printer);

}  // namespace zemvalkorta
