#include "core/FrostGraphicAxis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace zemvalkorta {

namespace {

std::string Clock(double seconds, bool withSeconds) {
    if (!std::isfinite(seconds)) return "?";
    const bool negative = seconds < 0;
    const long long whole = std::llround(std::fabs(seconds));
    const long long total = withSeconds ? whole : whole / 60 * 60;
    char text[48];
    if (withSeconds)
        std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld", negative ? "-" : "", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%s%lld:%02lld", negative ? "-" : "", total / 3600, total / 60 % 60);
    return text;
}

}  // namespace

std::string TimeOfDayLabel(double seconds) { return Clock(seconds, false); }
std::string TimeOfDayLabelWithSeconds(double seconds) { return Clock(seconds, true); }

double ChooseAxisStep(double span, double desiredStep, double lengthPixels, double minimumSpacing, bool time,
                      int decimals) {
    if (!(desiredStep > 0)) desiredStep = 1.0;
    // Whole minutes are shown exactly by "h:mm"; numbers need the step to be
    // a whole number of the last printed digit.
    const double quantum = time || decimals < 0 ? 0.0 : std::pow(10.0, -std::min(decimals, 15));
    auto printable = [quantum](double step) {
        if (quantum == 0.0) return true;
        const double units = step / quantum;
        return std::fabs(units - std::round(units)) <= 1e-6 * std::max(1.0, units);
    };
    if (!(span > 0) || !std::isfinite(span) || !(lengthPixels > 0)) return desiredStep;
    auto fits = [&](double step) { return step / span * lengthPixels >= minimumSpacing; };
    if (time) {
        static constexpr std::array<double, 12> Minutes = {1, 2, 5, 10, 15, 20, 30, 60, 120, 180, 360, 720};
        for (double minutes : Minutes) {
            const double step = minutes * 60.0;
            if (step >= desiredStep && fits(step)) return step;
        }
        double days = 1.0;
        while (!fits(days * 86400.0)) days *= 2.0;
        return days * 86400.0;
    }
    static constexpr std::array<double, 4> Mantissas = {1.0, 2.0, 2.5, 5.0};
    double decade = std::pow(10.0, std::floor(std::log10(desiredStep)));
    for (int guard = 0; guard < 400; ++guard, decade *= 10.0) {
        for (double mantissa : Mantissas) {
            const double step = mantissa * decade;
            // The desired step itself may be no round value (0.025 is); never go below it.
            if (step < desiredStep * (1 - 1e-9) || !printable(step)) continue;
            if (fits(step)) return step;
        }
    }
    return span;
}

std::vector<double> AxisTickValues(double minimum, double maximum, double step, int maximumCount) {
    std::vector<double> ticks;
    if (!(step > 0) || !std::isfinite(minimum) || !std::isfinite(maximum) || minimum > maximum) return ticks;
    const double firstIndex = std::ceil(minimum / step - 1e-9);
    const double lastIndex = std::floor(maximum / step + 1e-9);
    if (lastIndex - firstIndex + 1 > maximumCount) return ticks;
    // Whole-number tick indices, so firstIndex + k is exact.
    const auto count = static_cast<long long>(lastIndex - firstIndex) + 1;
    for (long long k = 0; k < count; ++k) {
        double value = (firstIndex + static_cast<double>(k)) * step;
        if (std::fabs(value) < step * 1e-9) value = 0.0;  // no "-0.00"
        ticks.push_back(value);
    }
    return ticks;
}

AxisTicks ChooseAxisTicks(const AxisRange& range, double desiredStep, double lengthPixels, double labelExtent,
                          bool time, int decimals, int maximumCount) {
    AxisTicks ticks;
    const double span = range.Maximum - range.Minimum;
    ticks.Step =
        ChooseAxisStep(span, desiredStep, lengthPixels, std::max(0.0, labelExtent) + MinimumLabelGap, time, decimals);
    ticks.Values = AxisTickValues(range.Minimum, range.Maximum, ticks.Step, maximumCount);
    return ticks;
}

AxisRange PaddedRange(double dataMinimum, double dataMaximum, double halfSpanWhenFlat) {
    if (!std::isfinite(dataMinimum) || !std::isfinite(dataMaximum) || dataMinimum > dataMaximum)
        return {0.0, 2 * halfSpanWhenFlat};
    if (dataMaximum - dataMinimum <= 0.0) return {dataMinimum - halfSpanWhenFlat, dataMaximum + halfSpanWhenFlat};
    const double padding = (dataMaximum - dataMinimum) * 2.0 / 96.0;
    return {dataMinimum - padding, dataMaximum + padding};
}

}  // namespace zemvalkorta
