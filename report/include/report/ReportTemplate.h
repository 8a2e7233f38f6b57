#pragma once

// Page templates of the printed report, kept as plain data. Positions are in
// template units of 1/96 inch on an A4 landscape page, measured from the top
// left corner of the area the objects are placed in.

#include <QColor>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zemvalkorta {

inline constexpr double TemplateUnitsPerInch = 96.0;

// Fonts are named as the templates name them; ReportFonts maps them onto
// installed metric-compatible faces.
inline const QString SerifFontFamily = QStringLiteral("Times New Roman");
inline const QString SansFontFamily = QStringLiteral("Arial");

struct ReportTextField {
    QString Name;  // empty for fixed text
    QRectF Box;
    double PointSize = 12.0;
    bool Bold = false;
    Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignTop;
    bool WordWrap = true;
    QString Family = SerifFontFamily;
    QStringList Lines;
};

struct ReportRule {
    QLineF Line;
    double Width = 2.0;
};

struct ReportChartField {
    QString Name;
    QRectF Box;
};

struct ReportPageNumberField {
    QRectF Box{36, 696, 999, 20};
    double PointSize = 10.0;
    QString Family = SansFontFamily;
    double RuleWidth = 2.0;  // along the top edge of the box
};

struct ReportPageTemplate {
    QString Name;
    QRectF Body;  // the body band
    std::vector<ReportTextField> Texts;
    std::vector<ReportRule> Rules;
    std::optional<ReportChartField> Chart;
    ReportPageNumberField PageNumber;
};

struct ReportTemplate {
    QString Name;
    std::vector<ReportPageTemplate> Pages;
};

// The result report: the table page "Page2" first, then the graph page "Page1".
const ReportTemplate& MainReport();
// The standard specimen's report: one graph page "Page1".
const ReportTemplate& EasyReport();

inline const QString TablePageName = QStringLiteral("Page2");

}  // namespace zemvalkorta
