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

// The smallest step, starting from the desired one and widened through round
// values (1, 2, 2.5, 5 times a power of ten, or whole minutes and hours for
// time axes), that keeps neighbouring labels minimumSpacing pixels apart on an
// axis lengthPixels long showing span units.
double ChooseAxisStep(double span, double desiredStep, double lengthPixels, double minimumSpacing, bool time);

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

}  // namespace zemvalkorta
