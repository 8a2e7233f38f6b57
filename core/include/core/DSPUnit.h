#pragma once

// Causal moving average over a ring buffer. The filter is primed, not empty:
// after Reset every slot holds 0, so the first outputs of a new series ramp up
// from zero (x1/N, (x1+x2)/N, ...). The theta search relies on that start-up.

#include <array>
#include <cstddef>
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

    // Add for every sample of a series: sample(i) gives sample i, then
    // observe(i, Output()) sees the mean after it. Same arithmetic as Add; the
    // running sum and the output stay out of memory for the run, because
    // storing three 80-bit values a sample is what a long series spends its time on.
    template <typename Sample, typename Observe>
    void AddSeries(std::size_t count, Sample&& sample, Observe&& observe) {
        long double sum = sum_;
        long double output = output_;
        std::int32_t position = position_;
        for (std::size_t i = 0; i < count; ++i) {
            const long double value = sample(i);
            sum = sum - slots_[position] + value;
            slots_[position] = value;
            output = sum * reciprocal_;
            if (++position == window_) position = 0;
            observe(i, output);
        }
        sum_ = sum;
        output_ = output;
        position_ = position;
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
