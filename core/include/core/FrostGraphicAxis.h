#pragma once

// Axis ranges, label steps and time labels of the graphs, free of any drawing.

#include <string>
#include <vector>

namespace zemvalkorta {

// "h:mm" of seconds since the first sample; hours run on past 24 (25:30) so
// that long measurements are not folded onto the first day.
std::string TimeOfDayLabel(double seconds);
// "h:mm:ss", for the pointer readout.
std::string TimeOfDayLabelWithSeconds(double seconds);

// Free room that every axis keeps between neighbouring labels, in pixels of
// the output the chart is drawn on.
inline constexpr double MinimumLabelGap = 20.0;

// The smallest step, starting from the desired one and widened through round
// values (1, 2, 2.5, 5 times a power of ten, or whole minutes and hours for
// time axes), that keeps neighbouring labels minimumSpacing pixels apart on an
// axis lengthPixels long showing span units. With decimals >= 0 the step is
// also a whole multiple of 10^-decimals, so that every label printed with that
// many decimals shows its value exactly: a desired 0.025 at two decimals
// becomes 0.05, labelled 0.00 0.05 0.10, never 0.03 0.05 0.08.
double ChooseAxisStep(double span, double desiredStep, double lengthPixels, double minimumSpacing, bool time,
                      int decimals = -1);

// Multiples of step within [minimum, maximum], at most maximumCount of them.
std::vector<double> AxisTickValues(double minimum, double maximum, double step, int maximumCount = 1000);

struct AxisRange {
    double Minimum = 0.0;
    double Maximum = 1.0;
    friend bool operator==(const AxisRange&, const AxisRange&) = default;
};
// The data take the middle 96 % of the axis; a flat or empty set of data gets
// a span of 2 * halfSpanWhenFlat around its value.
AxisRange PaddedRange(double dataMinimum, double dataMaximum, double halfSpanWhenFlat);

// The labels of one axis: the step chosen by ChooseAxisStep for labels
// labelExtent pixels long along the axis (their width on a horizontal axis,
// their height on a vertical one) with MinimumLabelGap between them, and the
// whole multiples of that step within the range.
struct AxisTicks {
    double Step = 1.0;
    std::vector<double> Values;
};
AxisTicks ChooseAxisTicks(const AxisRange& range, double desiredStep, double lengthPixels, double labelExtent,
                          bool time, int decimals, int maximumCount = 1000);

}  // namespace zemvalkorta
