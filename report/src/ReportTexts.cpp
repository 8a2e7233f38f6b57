#include "report/ReportTexts.h"

#include <QDate>
#include <cmath>

#include "core/Catalogue.h"
#include "core/FrostGrading.h"

namespace zemvalkorta {

namespace {

constexpr long long MillisecondsPerDay = 86'400'000;

QString Format(const char* pattern, double value, const FormatSettings& separators) {
    return QString::fromStdString(FormatFloat(pattern, value, separators));
}

QString DateTimeOfMilliseconds(long long milliseconds) {
    const long long days = milliseconds >= 0 ? milliseconds / MillisecondsPerDay
                                             : -((-milliseconds + MillisecondsPerDay - 1) / MillisecondsPerDay);
    const long long minutesOfDay = (milliseconds - days * MillisecondsPerDay) / 60'000;
    const QDate date = QDate(1899, 12, 30).addDays(days);
    return QStringLiteral("%1.%2.%3  %4:%5")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(minutesOfDay / 60, 2, 10, QLatin1Char('0'))
        .arg(minutesOfDay % 60, 2, 10, QLatin1Char('0'));
}

long long MillisecondsOf(double measureDate) {
    if (!std::isfinite(measureDate)) return 0;
    return std::llround(measureDate * static_cast<double>(MillisecondsPerDay));
}

}  // namespace

QString ReportDateTimeText(double measureDate) { return DateTimeOfMilliseconds(MillisecondsOf(measureDate)); }

QString BeginDateTimeText(const TMeasureResult& measure) {
    return QStringLiteral("начало  ") + ReportDateTimeText(measure.MeasureDate);
}

QString EndDateTimeText(const TMeasureResult& measure) {
    const long long end = MillisecondsOf(measure.MeasureDate) + static_cast<long long>(measure.Duration) * 1000;
    return QStringLiteral("окончание  ") + DateTimeOfMilliseconds(end);
}

QString DimensionsText(std::int32_t geometryKind, const std::array<double, 3>& dimensions,
                       const FormatSettings& separators) {
    const QString joint = QStringLiteral("x ");
    if (geometryKind == Cube100 || geometryKind == Cube70)
        return Format("0.0", dimensions[0], separators) + joint + Format("0.0", dimensions[1], separators) + joint +
               Format("0.0", dimensions[2], separators);
    if (geometryKind == Cylinder70)
        return QStringLiteral("d ") + Format("0.0", dimensions[0], separators) + joint +
               Format("0.0", dimensions[1], separators);
    return QStringLiteral("?");
}

QString WeightText(double weight, const FormatSettings& separators) {
    return weight > 0 ? Format("0.0", weight, separators) : QString();
}

QString AbsorptionByMassText(double primaryWeight, double saturatedWeight, const FormatSettings& separators) {
    if (!(primaryWeight > 0 && saturatedWeight > 0)) return {};
    return Format("0.0", (saturatedWeight - primaryWeight) / primaryWeight * 100.0, separators);
}

QString AbsorptionByVolumeText(double primaryWeight, double saturatedWeight, double volume,
                               const FormatSettings& separators) {
    if (!(primaryWeight > 0 && saturatedWeight > 0 && volume > 0)) return {};
    // The mass difference in grams taken as cm3 of water at 1.0 g/cm3.
    constexpr double WaterDensity = 1.0;
    return Format("0.0", (saturatedWeight - primaryWeight) / WaterDensity / volume * 100.0, separators);
}

QStringList AverageFrostResistanceLines(const TMeasureResult& measure) {
    const int grade = measure.AverageFrostResistance;
    const int cycles = FrostCycles(measure.GeometryKind, measure.ConcreteKind, measure.AverageTetta);
    return {grade == -1 ? QStringLiteral("?") : QString::number(grade),
            QStringLiteral("(") + (cycles == -1 ? QStringLiteral("?") : QString::number(cycles)) + QStringLiteral(")"),
            QString(), QString::fromStdString(ConcreteKindName(measure.ConcreteKind))};
}

bool HasConcreteSpecimen(const TMeasureResult& measure) {
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (RoleOfChannel(measure, channel) == ChannelRole::Concrete) return true;
    return false;
}

bool HasStandardSpecimen(const TMeasureResult& measure) {
    return (measure.ActiveChannels & measure.StandardPattern) != 0;
}

}  // namespace zemvalkorta
