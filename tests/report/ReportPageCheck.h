#pragma once

// Reading written report pages back: the words of a PDF with their boxes (from
// poppler's text layer) and pictures of its pages, and the checks that every
// word lies inside its page, stays clear of the page's ruling and the chart
// frame, and is really inked on a picture of the page.

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "report/ReportPage.h"

namespace zemvalkorta::testing {

struct PdfWord {
    int Page = 0;  // from 1
    QString Text;
    QRectF Box;  // template units, page origin at the paper's top-left corner
};

// Empty when pdftotext fails; pageCount receives the number of pages.
std::vector<PdfWord> PdfWords(const QString& pdf, int* pageCount = nullptr);
std::vector<PdfWord> WordsOfPage(const std::vector<PdfWord>& words, int page);

// One page of a PDF as a grey picture at dotsPerInch; null when pdftoppm fails.
QImage PdfPagePicture(const QString& pdf, int page, int dotsPerInch);

// Every finding on one page, as lines for a failure message; empty when the
// page is clean. The page's rules, the chart frame and the paper come from
// the page itself; the picture, when given, must show the page at dotsPerInch.
QStringList PlacementFaults(const ReportPage& page, const std::vector<PdfWord>& words);
QStringList InkFaults(const std::vector<PdfWord>& words, const QImage& picture, double dotsPerInch);

// The chart field's frame on the paper, template units.
QRectF ChartFrameOnPaper(const ReportPage& page);

}  // namespace zemvalkorta::testing
