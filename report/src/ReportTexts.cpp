#include "report/ReportTexts.h"

#include <cstdint>

#include "core/Catalogue.h"
#include "core/FrostGrading.h"
#include "core/StoredDateTime.h"

namespace zemvalkorta {

namespace {

QString Format(const char* pattern, double value, const FormatSettings& separators) {
    return QString::fromStdString(FormatFloat(pattern, value, separators));
}

QString DateTimeOfMilliseconds(std::int64_t milliseconds) {
    const CalendarDateTime calendar = CalendarOfMilliseconds(milliseconds);
    return QStringLiteral("%1.%2.%3  %4:%5")
        .arg(static_cast<unsigned>(calendar.Date.day()), 2, 10, QLatin1Char('0'))
        .arg(static_cast<unsigned>(calendar.Date.month()), 2, 10, QLatin1Char('0'))
        .arg(static_cast<int>(calendar.Date.year()), 4, 10, QLatin1Char('0'))
        .arg(calendar.Time.hours().count(), 2, 10, QLatin1Char('0'))
        .arg(calendar.Time.minutes().count(), 2, 10, QLatin1Char('0'));
}

}  // namespace

QString ReportDateTimeText(double measureDate) {
    return DateTimeOfMilliseconds(MillisecondsOfStoredDateTime(measureDate));
}

QString BeginDateTimeText(const TMeasureResult& measure) {
    return QStringLiteral("начало  ") + ReportDateTimeText(measure.MeasureDate);
}

QString EndDateTimeText(const TMeasureResult& measure) {
    const std::int64_t end =
        MillisecondsOfStoredDateTime(measure.MeasureDate) + static_cast<std::int64_t>(measure.Duration) * 1000;
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
