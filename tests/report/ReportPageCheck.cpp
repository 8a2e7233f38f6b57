#include "ReportPageCheck.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

#include "report/ReportRenderer.h"

namespace zemvalkorta::testing {

namespace {

constexpr double UnitsPerPoint = TemplateUnitsPerInch / 72.0;

QString Unescaped(QString text) {
    text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'");
    return text.replace("&amp;", "&");
}

// Words with a digit, a capital, an ascender or a descender ink at least half
// their line; words of x-height letters only about two fifths of it.
double InkedShare(const QString& text) {
    static const QString tall = QStringLiteral("бдруфйёbdfhklitgjpqy()[]{}/|%№³");
    for (QChar c : text)
        if (c.isDigit() || c.isUpper() || tall.contains(c)) return 0.5;
    return 0.3;
}

bool HasLetterOrDigit(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// The box with its ascent and descent room taken off, so that a word whose
// glyphs clear a line is not blamed for its font's line height.
QRectF GlyphCore(const QRectF& box) { return box.adjusted(0.5, box.height() * 0.2, -0.5, -box.height() * 0.2); }

QString Describe(const PdfWord& word) {
    return QStringLiteral("page %1 \"%2\" at %3,%4 %5x%6")
        .arg(word.Page)
        .arg(word.Text)
        .arg(word.Box.x(), 0, 'f', 1)
        .arg(word.Box.y(), 0, 'f', 1)
        .arg(word.Box.width(), 0, 'f', 1)
        .arg(word.Box.height(), 0, 'f', 1);
}

}  // namespace

std::vector<PdfWord> PdfWords(const QString& pdf, int* pageCount) {
    QProcess process;
    process.start("pdftotext", {"-bbox", "-enc", "UTF-8", pdf, "-"});
    std::vector<PdfWord> words;
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return words;
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression token(
        R"re(<page\b|<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
    int page = 0;
    for (auto match = token.globalMatch(html); match.hasNext();) {
        const auto found = match.next();
        if (found.captured(0) == QLatin1String("<page")) {
            ++page;
            continue;
        }
        const QRectF box(QPointF(found.captured(1).toDouble(), found.captured(2).toDouble()),
                         QPointF(found.captured(3).toDouble(), found.captured(4).toDouble()));
        words.push_back(
            {page, Unescaped(found.captured(5)), QRectF(box.topLeft() * UnitsPerPoint, box.size() * UnitsPerPoint)});
    }
    if (pageCount) *pageCount = page;
    return words;
}

std::vector<PdfWord> WordsOfPage(const std::vector<PdfWord>& words, int page) {
    std::vector<PdfWord> found;
    std::copy_if(words.begin(), words.end(), std::back_inserter(found),
                 [page](const PdfWord& word) { return word.Page == page; });
    return found;
}

QImage PdfPagePicture(const QString& pdf, int page, int dotsPerInch) {
    QTemporaryDir folder;
    const QString prefix = folder.filePath("page");
    QProcess process;
    process.start("pdftoppm", {"-r", QString::number(dotsPerInch), "-gray", "-f", QString::number(page), "-l",
                               QString::number(page), "-singlefile", pdf, prefix});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    return QImage(prefix + ".pgm");
}

QRectF ChartFrameOnPaper(const ReportPage& page) {
    if (!page.Layout().Chart) return {};
    return page.Layout().Chart->Box.translated(ReportOriginX, ReportOriginY);
}

QStringList PlacementFaults(const ReportPage& page, const std::vector<PdfWord>& words) {
    QStringList faults;
    const QRectF paper(QPointF(0, 0), ReportPaperSize());
    std::vector<QRectF> lines;
    for (const ReportRule& rule : page.Layout().Rules) {
        const QLineF line = rule.Line.translated(ReportOriginX, ReportOriginY);
        lines.push_back(QRectF(line.p1(), line.p2())
                            .normalized()
                            .adjusted(-rule.Width / 2, -rule.Width / 2, rule.Width / 2, rule.Width / 2));
    }
    const QRectF number = page.Layout().PageNumber.Box.translated(ReportOriginX, ReportOriginY);
    lines.push_back(QRectF(number.topLeft(), number.topRight()).adjusted(0, -1, 0, 1));
    const QRectF frame = ChartFrameOnPaper(page);
    if (!frame.isEmpty()) {
        for (const QLineF& edge :
             {QLineF(frame.topLeft(), frame.topRight()), QLineF(frame.bottomLeft(), frame.bottomRight()),
              QLineF(frame.topLeft(), frame.bottomLeft()), QLineF(frame.topRight(), frame.bottomRight())})
            lines.push_back(QRectF(edge.p1(), edge.p2()).normalized().adjusted(-0.5, -0.5, 0.5, 0.5));
    }
    for (const PdfWord& word : words) {
        if (!paper.contains(word.Box)) faults << "off the paper: " + Describe(word);
        for (const QRectF& line : lines)
            if (GlyphCore(word.Box).intersects(line)) {
                faults << "across a line: " + Describe(word);
                break;
            }
        if (!frame.isEmpty() && frame.contains(word.Box.center()) && !frame.adjusted(1, 1, -1, -1).contains(word.Box))
            faults << "out of the chart field: " + Describe(word);
    }
    return faults;
}

QStringList InkFaults(const std::vector<PdfWord>& words, const QImage& picture, double dotsPerInch) {
    QStringList faults;
    if (picture.isNull()) return {"no picture"};
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const double scale = dotsPerInch / TemplateUnitsPerInch;
    for (const PdfWord& word : words) {
        if (!HasLetterOrDigit(word.Text)) continue;  // rules of underscores carry no glyph height
        const QRect box = QRectF(word.Box.topLeft() * scale, word.Box.size() * scale).toAlignedRect() & grey.rect();
        int top = box.bottom() + 1, bottom = box.top() - 1, left = box.right() + 1, right = box.left() - 1;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            const uchar* line = grey.constScanLine(y);
            for (int x = box.left(); x <= box.right(); ++x)
                if (line[x] < 150) {
                    top = std::min(top, y), bottom = std::max(bottom, y);
                    left = std::min(left, x), right = std::max(right, x);
                }
        }
        const double inkedHeight = bottom >= top ? bottom - top + 1 : 0;
        const double inkedWidth = right >= left ? right - left + 1 : 0;
        // A label cut by a clip shows a sliver or half of its height.
        if (inkedHeight < InkedShare(word.Text) * box.height() || inkedWidth < 0.2 * box.width())
            faults << QStringLiteral("not inked whole (%1 of %2 rows, %3 of %4 columns): ")
                              .arg(inkedHeight)
                              .arg(box.height())
                              .arg(inkedWidth)
                              .arg(box.width()) +
                          Describe(word);
    }
    return faults;
}

}  // namespace zemvalkorta::testing
