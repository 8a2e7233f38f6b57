#include "report/ReportTemplate.h"

#include <initializer_list>

namespace zemvalkorta {

namespace {

constexpr Qt::Alignment RightMiddle = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment CentreMiddle = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr Qt::Alignment LeftMiddle = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment CentreTop = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment LeftTop = Qt::AlignLeft | Qt::AlignTop;

ReportTextField Text(double x, double y, double width, double height, double pointSize, Qt::Alignment alignment,
                     QStringList lines, QString name = {}) {
    ReportTextField field;
    field.Name = std::move(name);
    field.Box = QRectF(x, y, width, height);
    field.PointSize = pointSize;
    field.Alignment = alignment;
    field.Lines = std::move(lines);
    return field;
}

ReportTextField Filled(const QString& name, double x, double y, double width, double height, double pointSize,
                       Qt::Alignment alignment) {
    return Text(x, y, width, height, pointSize, alignment, {}, name);
}

void AddRule(ReportPageTemplate& page, double x1, double y1, double x2, double y2) {
    page.Rules.push_back(ReportRule{QLineF(x1, y1, x2, y2), 2.0});
}

// The heading block shared by both graph pages: the date lines and the chart.
void AddGraphBody(ReportPageTemplate& page) {
    page.Texts.push_back(Filled(QStringLiteral("GraphicBeginDateTimeMemo"), 779, 52, 256, 20, 12, RightMiddle));
    page.Texts.push_back(Filled(QStringLiteral("GraphicEndDateTimeMemo"), 779, 76, 256, 20, 12, RightMiddle));
    page.Chart = ReportChartField{QStringLiteral("GraphicChart"), QRectF(36, 100, 996, 520)};
}

void AddTableRuling(ReportPageTemplate& page) {
    AddRule(page, 40, 192, 1032, 192);
    AddRule(page, 40, 400, 1032, 400);
    AddRule(page, 40, 192, 40, 400);
    AddRule(page, 1032, 192, 1032, 400);
    AddRule(page, 40, 264, 1032, 264);
    for (double x : {104, 172, 312, 380, 516, 660, 888}) AddRule(page, x, 192, x, 400);
    for (double x : {448, 584, 736, 812}) AddRule(page, x, 220, x, 400);
    AddRule(page, 380, 220, 516, 220);
    AddRule(page, 516, 220, 660, 220);
    AddRule(page, 660, 220, 888, 220);
}

void AddTableHeadings(std::vector<ReportTextField>& texts) {
    texts.push_back(Text(42, 196, 60, 56, 12, LeftTop, {"№ об-", "разца", "(канала)"}));
    texts.push_back(Text(108, 196, 64, 56, 12, LeftTop, {"Возраст,", "сут. (усл. тверд.)"}));
    texts.push_back(Text(176, 196, 132, 56, 12, CentreMiddle, {"Размер, mm"}));
    texts.push_back(Text(316, 204, 60, 20, 12, CentreTop, {"Объём,"}));
    texts.push_back(Filled(QStringLiteral("VolumeMemo"), 316, 228, 60, 24, 12, CentreTop));
    texts.push_back(Text(384, 196, 128, 20, 12, CentreMiddle, {"Масса, г"}));
    texts.push_back(Text(384, 224, 60, 36, 12, LeftTop, {"исход-", "ная"}));
    texts.push_back(Text(452, 224, 60, 36, 12, LeftTop, {"насы-", "щенная"}));
    texts.push_back(Text(518, 196, 138, 20, 12, LeftTop, {"Водопоглощение,%"}));
    texts.push_back(Text(517, 232, 64, 20, 12, CentreTop, {"по массе"}));
    texts.push_back(Text(585, 232, 74, 20, 12, CentreTop, {"по объёму"}));
    texts.push_back(Text(664, 196, 220, 20, 12, CentreTop, {"Показатели морозостойкости"}));
    texts.push_back(Filled(QStringLiteral("DeltaVolumeMemo"), 664, 232, 68, 20, 12, CentreTop));
    texts.push_back(Filled(QStringLiteral("TettaMemo"), 740, 232, 68, 20, 12, CentreTop));
    texts.push_back(Filled(QStringLiteral("AverageTettaMemo"), 816, 232, 68, 20, 12, CentreTop));
    texts.push_back(Text(892, 196, 136, 56, 12, LeftMiddle, {"Марка бетона по морозостойкости F(N)"}));
}

void AddTableValues(std::vector<ReportTextField>& texts) {
    texts.push_back(Filled(QStringLiteral("PatternNumberMemo"), 44, 268, 56, 124, 11, CentreMiddle));
    texts.push_back(Filled(QStringLiteral("PatternAgeMemo"), 108, 268, 60, 124, 11, CentreMiddle));
    texts.push_back(Filled(QStringLiteral("PatternDimensionsMemo"), 176, 268, 132, 124, 11, LeftMiddle));
    texts.push_back(Filled(QStringLiteral("PatternVolumeMemo"), 316, 268, 60, 124, 11, CentreMiddle));
    texts.push_back(Filled(QStringLiteral("PatternPrimaryWeightMemo"), 384, 268, 60, 124, 11, LeftMiddle));
    texts.push_back(Filled(QStringLiteral("PatternSaturatedWeightMemo"), 452, 268, 60, 124, 11, LeftMiddle));
    texts.push_back(Filled(QStringLiteral("PatternHumidityMemo"), 520, 268, 60, 124, 11, CentreMiddle));
    texts.push_back(Filled(QStringLiteral("PatternWaterAbsorbenceMemo"), 588, 268, 68, 124, 11, CentreMiddle));
    texts.push_back(Filled(QStringLiteral("PatternDeltaVolumeMemo"), 664, 268, 68, 124, 11, CentreMiddle));
    texts.push_back(Filled(QStringLiteral("PatternTettaMemo"), 740, 268, 68, 124, 11, CentreMiddle));
    texts.push_back(Filled(QStringLiteral("PatternAverageTettaMemo"), 816, 312, 68, 80, 11, CentreTop));
    texts.push_back(Filled(QStringLiteral("AverageFrostResistanceMemo"), 892, 312, 136, 80, 11, CentreTop));
}

ReportPageTemplate TablePage() {
    ReportPageTemplate page;
    page.Name = TablePageName;
    page.Body = QRectF(0, 0, 1071, 628);
    auto& texts = page.Texts;
    texts.push_back(Text(915, 4, 120, 20, 12, RightMiddle, {"Приложение №1"}));
    texts.push_back(Text(787, 28, 248, 20, 12, RightMiddle, {"к протоколу испытания № _______"}));
    texts.push_back(Filled(QStringLiteral("TableBeginDateTimeMemo"), 787, 52, 248, 20, 12, RightMiddle));
    texts.push_back(Filled(QStringLiteral("TableEndDateTimeMemo"), 787, 76, 248, 20, 12, RightMiddle));
    ReportTextField title = Text(385, 116, 300, 24, 16, CentreMiddle, {"РЕЗУЛЬТАТЫ ИСПЫТАНИЙ"});
    title.Bold = true;
    texts.push_back(title);
    texts.push_back(
        Text(301, 152, 468, 20, 12, CentreMiddle, {"Согласно ГОСТ 10060.3-95 и изменению №1 к ГОСТ 10060.3-95"}));
    texts.push_back(Text(168, 472, 136, 20, 12, LeftTop, {"Испытания провёл"}));
    AddTableHeadings(texts);
    AddTableValues(texts);
    AddTableRuling(page);
    return page;
}

// A graph page: its headings over the graph body.
ReportPageTemplate GraphPage(qreal bodyHeight, std::initializer_list<ReportTextField> headings) {
    ReportPageTemplate page;
    page.Name = QStringLiteral("Page1");
    page.Body = QRectF(0, 0, 1071, bodyHeight);
    page.Texts.insert(page.Texts.end(), headings.begin(), headings.end());
    AddGraphBody(page);
    return page;
}

ReportPageTemplate MainGraphPage() {
    return GraphPage(628, {Text(911, 4, 124, 20, 12, RightMiddle, {"Приложение №2"}),
                           Text(779, 28, 256, 20, 12, RightMiddle, {"к протоколу испытания № ________"})});
}

ReportPageTemplate StandardGraphPage() {
    return GraphPage(624, {Text(779, 28, 256, 20, 12, RightMiddle, {"Стандартный образец"})});
}

}  // namespace

const ReportTemplate& MainReport() {
    static const ReportTemplate report{QStringLiteral("MainReport"), {TablePage(), MainGraphPage()}};
    return report;
}

const ReportTemplate& EasyReport() {
    static const ReportTemplate report{QStringLiteral("EasyReport"), {StandardGraphPage()}};
    return report;
}

}  // namespace zemvalkorta
