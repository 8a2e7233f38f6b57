// Freezing runs as the instrument records them: a specimen cooled from about
// +20 degC to about -20 degC, its volume curve rising with the temperature
// drop, and concrete specimens departing from the standard by the expansion
// of freezing water once they pass 0 degC.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "device/sim/InstrumentContent.h"

namespace zemvalkorta::sim {

namespace {

// Distributions of the standard library differ between implementations; the
// generator must give the same runs everywhere for one seed.
class DeterministicRandom {
public:
    explicit DeterministicRandom(std::uint64_t seed) : engine_(seed) {}
    double Uniform(double low, double high) {
        return low + (high - low) * static_cast<double>(engine_() >> 11) * 0x1.0p-53;
    }
    int Index(int count) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(count)); }
    double Noise(double amplitude) { return amplitude * (Uniform(-1, 1) + Uniform(-1, 1) + Uniform(-1, 1)) / 3.0; }

private:
    std::mt19937_64 engine_;
};

constexpr double VolumeScale = 8.0;  // cm3 over the whole word range
constexpr int Period = 5;            // s
constexpr double LowestTetta = 0.02e-3;
constexpr double HighestTetta = 5.0e-3;

double SpecimenVolumeOf(int geometry) {
    switch (geometry) {
        case 1:
            return 343.0;
        case 2:
            return std::numbers::pi * 70.0 * 70.0 / 4.0 * 70.0 * 0.001;
        default:
            return 1000.0;
    }
}

struct ChannelRun {
    double StartTemperature;
    double EndTemperature;
    double CoolingTime;  // s, time constant
    double Expansion;    // cm3 per degC of cooling
};

double TemperatureAt(const ChannelRun& run, double time) {
    return run.EndTemperature + (run.StartTemperature - run.EndTemperature) * std::exp(-time / run.CoolingTime);
}

double BaseVolumeAt(const ChannelRun& run, double time) {
    return 0.002 + run.Expansion * (run.StartTemperature - TemperatureAt(run, time));
}

double FreezingStart(const ChannelRun& run) {
    return run.CoolingTime * std::log((run.StartTemperature - run.EndTemperature) / (0 - run.EndTemperature));
}

// Cubic through four samples of the standard's volume curve at 0, D/3,
// 2D/3, D: the model the instrument offers instead of a standard specimen.
std::array<double, 4> FitModel(const ChannelRun& run, double duration) {
    std::array<double, 4> times{0, duration / 3, 2 * duration / 3, duration};
    std::array<std::array<double, 5>, 4> system{};
    for (int row = 0; row < 4; ++row) {
        double power = 1;
        for (int column = 0; column < 4; ++column, power *= times[row]) system[row][column] = power;
        system[row][4] = BaseVolumeAt(run, times[row]);
    }
    for (int pivot = 0; pivot < 4; ++pivot) {
        for (int row = pivot + 1; row < 4; ++row) {
            const double factor = system[row][pivot] / system[pivot][pivot];
            for (int column = pivot; column < 5; ++column) system[row][column] -= factor * system[pivot][column];
        }
    }
    std::array<double, 4> coefficients{};
    for (int row = 3; row >= 0; --row) {
        double sum = system[row][4];
        for (int column = row + 1; column < 4; ++column) sum -= system[row][column] * coefficients[column];
        coefficients[row] = sum / system[row][row];
    }
    return coefficients;
}

std::uint16_t VolumeWord(double volume, const DeviceHeader& header, int channel, DeterministicRandom& random) {
    const double word =
        volume / (header.Scale * header.Coefficient[channel]) * 65536.0 + header.ZeroLevel[channel] + random.Noise(1.5);
    return static_cast<std::uint16_t>(std::clamp(std::lround(word), 0L, 65535L));
}

std::uint16_t TemperatureWord(double temperature, DeterministicRandom& random) {
    const long word = std::lround(temperature * 16.0 + random.Noise(0.8));
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(word, -32768L, 32767L)));
}

}  // namespace

InstrumentContent GenerateContent(const GeneratorOptions& options) {
    InstrumentContent content;
    content.Identity = IdentityBlock("ZEMVALKORTA-1.0");
    DeterministicRandom random(options.Seed);
    static constexpr std::int32_t Patterns[] = {1, 16, 2, 32, 4, 64};
    int concreteIndex = 0;
    for (int i = 0; i < options.Count; ++i) {
        SimulatedMeasurement measurement;
        DeviceHeader& header = measurement.Header;
        const int dayOffset = i / 2;
        header.Year = 24;
        header.Month = static_cast<std::uint8_t>(3 + (dayOffset / 28) % 9);
        header.Day = static_cast<std::uint8_t>(1 + dayOffset % 28);
        header.Hour = static_cast<std::uint8_t>(i % 2 == 0 ? 8 : 15);
        header.Minute = static_cast<std::uint8_t>(random.Index(60));
        header.Second = static_cast<std::uint8_t>(random.Index(60));
        header.MeasureNumber = i + 1;
        header.StandardPattern = Patterns[(i + static_cast<int>(options.Seed)) % 6];
        header.GeometryKind = (i / 2) % 3;
        header.ConcreteKind = i % 11 == 10 ? 3 : (header.GeometryKind == 0 ? (i / 6) % 3 : (i / 6) % 2);
        if (options.FullSize) {
            header.ActiveChannels = 7;
        } else if (header.StandardPattern & 7) {
            // The standard channel and at least one concrete specimen.
            const int others = 7 & ~header.StandardPattern;
            const int choice = random.Index(3);
            const int lowOther = others & -others;
            header.ActiveChannels = header.StandardPattern | (choice == 0   ? others
                                                              : choice == 1 ? lowOther
                                                                            : others ^ lowOther);
        } else {
            header.ActiveChannels = 1 + random.Index(7);
        }
        header.Period = Period;
        header.PointCount = options.FullSize ? 4320 : 2880 + 10 * random.Index(145);
        header.Duration = static_cast<std::uint32_t>(header.PointCount * header.Period);
        header.Scale = VolumeScale;
        const double duration = header.Duration;
        const double volume = SpecimenVolumeOf(header.GeometryKind);

        ChannelRun nominal{20.0 + random.Uniform(-1, 1), -22.0 + random.Uniform(-1, 1), duration / 3.0,
                           0.034 + random.Uniform(-0.002, 0.002)};
        const auto model = FitModel(nominal, duration);
        std::copy(model.begin(), model.end(), header.Model.begin());

        for (int c = 0; c < 3; ++c) {
            header.Coefficient[c] = 1.0 + random.Uniform(-0.02, 0.02);
            header.ZeroLevel[c] = 1500 + random.Index(1000);
            const bool active = (header.ActiveChannels >> c) & 1;
            const std::size_t volumeWords = 4320u * static_cast<std::size_t>(c);
            const std::size_t temperatureWords = 12960u + volumeWords;
            if (!active) {
                std::fill_n(measurement.Words.begin() + static_cast<long>(volumeWords), 4320,
                            static_cast<std::uint16_t>(header.ZeroLevel[c]));
                continue;
            }
            ChannelRun run = nominal;
            run.CoolingTime *= 1.0 + random.Uniform(-0.05, 0.05);
            run.Expansion *= 1.0 + random.Uniform(-0.03, 0.03);
            const bool concrete = header.StandardPattern != (1 << c);
            double bulge = 0;
            if (concrete) {
                // Golden-ratio steps spread the specimens evenly over the grades.
                const double quantile = std::fmod(0.31 + 0.6180339887 * concreteIndex++, 1.0);
                const double tetta = LowestTetta * std::pow(HighestTetta / LowestTetta, quantile);
                bulge = tetta * volume;
                header.DeltaVolume[c] = bulge;
                header.Tetta[c] = tetta;
            }
            const double freezing = FreezingStart(run);
            const double bulgeTime = duration / 12.0;
            for (int j = 0; j < header.PointCount; ++j) {
                const double time = static_cast<double>(j) * header.Period;
                double value = BaseVolumeAt(run, time);
                if (time > freezing) value += bulge * (1.0 - std::exp(-(time - freezing) / bulgeTime));
                measurement.Words[volumeWords + static_cast<std::size_t>(j)] = VolumeWord(value, header, c, random);
                measurement.Words[temperatureWords + static_cast<std::size_t>(j)] =
                    TemperatureWord(TemperatureAt(run, time), random);
            }
            header.Temperature16[c] = static_cast<std::int32_t>(std::lround(TemperatureAt(run, duration) * 16.0));
        }
        content.Measurements.push_back(std::move(measurement));
    }
    return content;
}

}  // namespace zemvalkorta::sim
