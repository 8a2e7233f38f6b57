#pragma once

// Causal moving average over a ring buffer. The filter is primed, not empty:
// after Reset every slot holds 0, so the first outputs of a new series ramp up
// from zero (x1/N, (x1+x2)/N, ...). The theta search relies on that start-up.

#include <array>
#include <cstdint>

namespace zemvalkorta {

class TMAFilter {
public:
    static constexpr std::int32_t MaxWindow = 64;

    explicit TMAFilter(std::int32_t window);

    // Clamps the window into 1..MaxWindow and clears the whole state, so a
    // filter that changes its window in use never keeps samples of the old one.
    void SetWindow(std::int32_t window);

    // One subtraction, one addition, one multiplication: the mean is never
    // recomputed from the slots, the running sum carries its own rounding.
    void Add(long double sample) {
        sum_ = sum_ - slots_[position_] + sample;
        slots_[position_] = sample;
        output_ = sum_ * reciprocal_;
        if (++position_ == window_) position_ = 0;
    }

    // Adds the value exactly Window() times, starting at the current position.
    void Fill(long double value);

    void Reset() { Fill(0.0L); }

    long double Output() const { return output_; }
    std::int32_t Window() const { return window_; }
    std::int32_t Position() const { return position_; }

private:
    std::int32_t window_ = 1;
    long double reciprocal_ = 1.0L;
    long double output_ = 0.0L;
    std::int32_t position_ = 0;
    long double sum_ = 0.0L;
    std::array<long double, MaxWindow> slots_{};
};

}  // namespace zemvalkorta
