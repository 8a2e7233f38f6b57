#include "core/FrostGraphicTetta.h"

#include <cmath>

namespace zemvalkorta {

int TettaPositionInRow(const FrostRow& row, double tetta) {
    if (tetta == -1.0) return -1;
    const double x = tetta * 1000.0;
    for (int i = 0; i + 1 < FrostBoundaryCount; ++i) {
        const double upper = row[static_cast<std::size_t>(i)];
        const double lower = row[static_cast<std::size_t>(i) + 1];
        if (upper == FrostNoBoundary || lower == FrostNoBoundary) continue;
        if (!(lower <= x && x <= upper)) continue;
        if (upper == FrostNoUpperLimit) return TettaOpenIntervalPosition;
        // nearbyint follows the default rounding mode, which takes halves to even.
        return static_cast<int>(std::nearbyint((upper - x) * TettaIntervalPixels / (upper - lower))) +
               TettaIntervalPixels * i;
    }
    return -1;
}

int TettaPosition(std::int32_t geometryKind, std::int32_t concreteKind, double tetta) {
    if (tetta == -1.0) return -1;
    const int row = GradeRow(geometryKind, concreteKind);
    if (row < 0 || row >= FrostRowCount) return -1;
    return TettaPositionInRow(FrostTable[static_cast<std::size_t>(row)], tetta);
}

TettaStripValues TettaStripValuesOf(const TMeasureResult& measure) {
    TettaStripValues values;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const auto index = static_cast<std::size_t>(channel);
        values.ChannelTetta[index] =
            RoleOfChannel(measure, channel) == ChannelRole::Concrete ? measure.Tetta[index] : -1.0;
        if (values.ChannelTetta[index] != -1.0) values.HasData = true;
    }
    values.AverageTetta = measure.AverageTetta;
    values.GeometryKind = measure.GeometryKind;
    values.ConcreteKind = measure.ConcreteKind;
    return values;
}

}  // namespace zemvalkorta
