#include "core/DSPUnit.h"

#include <algorithm>

namespace zemvalkorta {

TMAFilter::TMAFilter(std::int32_t window) { SetWindow(window); }

void TMAFilter::SetWindow(std::int32_t window) {
    window_ = std::clamp(window, std::int32_t{1}, MaxWindow);
    reciprocal_ = 1.0L / window_;
    // Reset alone subtracts only the slots inside the new window; samples left
    // in the slots of a wider old window would stay in the running sum.
    slots_.fill(0.0L);
    sum_ = 0.0L;
    output_ = 0.0L;
    position_ = 0;
    Reset();
}

void TMAFilter::Fill(long double value) {
    for (std::int32_t i = 0; i < window_; ++i) Add(value);
}

}  // namespace zemvalkorta
