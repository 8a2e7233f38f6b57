#include "ui/ResultGridTexts.h"

#include <algorithm>
#include <string>

#include "core/Catalogue.h"
#include "core/FrostGrading.h"
#include "ui/CatalogueTexts.h"
#include "ui/LocaleNumbers.h"

namespace zemvalkorta {
namespace {

QString IntegerOrUnknown(int value) { return value == -1 ? QStringLiteral("?") : QString::number(value); }

QString MassText(double mass) { return mass > 0.0 ? FormatPattern("0.0", mass) : QStringLiteral("?"); }

QString ThetaText(double tetta) { return FormatPattern("0.00", tetta * 1000.0) + QStringLiteral("E-03"); }

}  // namespace

QString ParamRowLabel(int row) {
    static const std::array<const char*, ParamGridRowCount> labels{"Станд. образец", "Активные каналы",
                                                                   "Длительность, ч:м", "Период, с", "Вид, геометрия"};
    return row >= 0 && row < ParamGridRowCount ? QString::fromUtf8(labels[row]) : QString();
}

std::array<QString, ParamGridRowCount> ParamGridTexts(const TMeasureResult& measure) {
    const std::array<double, 4> coefficients{measure.ModelCoefficients[0], measure.ModelCoefficients[1],
                                             measure.ModelCoefficients[2], measure.ModelCoefficients[3]};
    return {StandardText(measure.StandardPattern, coefficients), ChannelsText(measure.ActiveChannels),
            DurationString(measure.Duration), NumberString(std::uint32_t(measure.Period)),
            ConcreteKindText(measure.ConcreteKind) + QStringLiteral(", ") + GeometryText(measure.GeometryKind)};
}

QString DetailsRowLabel(int row) {
    static const std::array<const char*, DetailsGridRowCount> labels{
        "", "ΔV, cm³", "Θ", "N", "F", "<Θ>", "<N>", "<F>", "Vo, cm³", "Мисх, г", "Мнас, г", "Возраст"};
    return row >= 0 && row < DetailsGridRowCount ? QString::fromUtf8(labels[row]) : QString();
}

QString DetailsHeaderText(int column) {
    return column >= 1 && column <= ChannelCount ? QStringLiteral("Канал %1").arg(column) : QString();
}

std::array<QString, DetailsGridRowCount> DetailsColumnTexts(const TMeasureResult& measure, int channel) {
    std::array<QString, DetailsGridRowCount> texts;
    if (RoleOfChannel(measure, channel) != ChannelRole::Concrete) return texts;
    const auto c = std::size_t(channel);
    const int geometry = measure.GeometryKind;
    const int concrete = measure.ConcreteKind;
    texts[1] = FormatPattern("0.00E+00", measure.DeltaVolume[c]);
    texts[2] = ThetaText(measure.Tetta[c]);
    texts[3] = IntegerOrUnknown(FrostCycles(geometry, concrete, measure.Tetta[c]));
    texts[4] = IntegerOrUnknown(measure.FrostResistance[c]);
    texts[5] = ThetaText(measure.AverageTetta);
    texts[6] = IntegerOrUnknown(FrostCycles(geometry, concrete, measure.AverageTetta));
    texts[7] = IntegerOrUnknown(measure.AverageFrostResistance);
    texts[8] = FormatPattern("0.0", measure.PatternVolume[c]);
    texts[9] = MassText(measure.PatternPrimaryWeight[c]);
    texts[10] = MassText(measure.PatternSaturatedWeight[c]);
    texts[11] = AgeText(measure.PatternAge[c]);
    return texts;
}

QString AgeText(const ShortString64& age) {
    const std::string text = PatternAgeText(age);
    const bool blank = std::all_of(text.begin(), text.end(), [](char ch) { return std::uint8_t(ch) <= 32; });
    return blank ? QStringLiteral("?") : QString::fromStdString(text);
}

}  // namespace zemvalkorta
