// One processing pass over a full instrument record: three channels of 4320
// samples, with a physical standard specimen and with the model reference.

#include <benchmark/benchmark.h>

#include <cmath>

#include "core/Processing.h"

namespace zemvalkorta {
namespace {

constexpr std::int32_t Period = 20;

// A specimen that swells while it cools through 0 degC, with a little
// measurement noise so that the smoothing and the maximum search do real work.
void AppendConcreteCurves(TMeasureResult& m, float swelling, bool withFittedCurves) {
    const auto n = static_cast<std::size_t>(m.PointCount);
    Curve volume(n), temperature(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        const double noise = 0.002 * std::sin(static_cast<double>(i) * 1.7);
        temperature[i] = static_cast<float>(20.0 - 45.0 * t + noise * 100);
        const double ramp = i < 150 ? 0.0 : 0.05 + 2.5 * (t - 150.0 / static_cast<double>(n));
        const double bump = swelling * std::exp(-std::pow((t - 0.5) * 12.0, 2.0));
        volume[i] = static_cast<float>(ramp + bump + noise);
    }
    m.Curves.push_back(std::move(volume));
    m.Curves.push_back(std::move(temperature));
    if (withFittedCurves) {
        m.Curves.emplace_back(n, 0.0f);
        m.Curves.emplace_back(n, 0.0f);
    }
}

TMeasureResult FullRecord(std::int32_t standardPattern) {
    TMeasureResult m;
    m.ActiveChannels = 7;
    m.StandardPattern = standardPattern;
    m.PointCount = MaxDevicePointCount;
    m.Period = Period;
    m.PatternVolume = {1000.0, 1000.0, 1000.0};
    // Reaches 1 cm3 after about a fifth of the run, like a standard specimen.
    m.ModelCoefficients = {-0.05, 6.0e-5, 1.0e-10, -1.0e-16, 0.0, 0.0};
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const bool standard = RoleOfChannel(m, channel) == ChannelRole::Standard;
        AppendConcreteCurves(m, standard ? 0.0f : 0.3f + 0.1f * static_cast<float>(channel), !standard);
    }
    return m;
}

void RunPasses(benchmark::State& state, TMeasureResult measure) {
    TMAFilter filter(3);
    for (auto _ : state) {
        ProcessMeasureRecord(measure, filter);
        benchmark::DoNotOptimize(measure.AverageTetta);
        benchmark::ClobberMemory();
    }
    state.counters["tetta"] = measure.AverageTetta;
}

void BM_PassWithStandardSpecimen(benchmark::State& state) { RunPasses(state, FullRecord(1)); }
void BM_PassWithModel(benchmark::State& state) { RunPasses(state, FullRecord(16)); }

// A model that never exceeds 1 cm3 makes the start search walk all 100001 periods.
void BM_PassWithModelNeverReachingStart(benchmark::State& state) {
    TMeasureResult measure = FullRecord(16);
    measure.ModelCoefficients = {0.5, 0.0, 0.0, 0.0, 0.0, 0.0};
    RunPasses(state, measure);
}

BENCHMARK(BM_PassWithStandardSpecimen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PassWithModel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PassWithModelNeverReachingStart)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zemvalkorta
