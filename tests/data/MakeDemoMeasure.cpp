// Writes demo-measure.bin: a measurement image as the download stores it,
// before any processing. Channel 2 holds the standard specimen, channels 1 and
// 3 heavy-concrete 100 mm cubes; 4320 samples every 20 s. The specimens cool
// from +20 degC to about -20 degC; the volume readings start near zero and
// grow as they cool, and the concrete specimens bulge once their water freezes
// below 0 degC, channel 3 more than channel 1.
//
// Only integer and basic floating-point arithmetic is used, so the bytes do not
// depend on the maths library. Usage: make-demo-measure OUTPUT

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "core/Catalogue.h"
#include "core/MeasureImage.h"
#include "core/MeasureResult.h"

namespace {

using namespace zemvalkorta;

constexpr int PointCount = 4320;
constexpr int Period = 20;
constexpr int CoolingStart = 90;  // 30 min at room temperature
constexpr int CoolingEnd = 2700;  // -20 degC reached after 15 h

// Deterministic noise in [-1, 1].
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t state_;
};

double SmoothStep(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

// Chamber temperature; each specimen follows it with its own lag (samples).
double Temperature(int sample, int lag) {
    const double progress = static_cast<double>(sample - CoolingStart - lag) / (CoolingEnd - CoolingStart);
    return 20.0 - 40.0 * SmoothStep(progress);
}

// Volume reading: thermal change of the specimen plus, for concrete, the
// swelling of freezing water between 0 and about -8 degC, part of which the
// specimen recovers as it gets colder.
double Volume(double temperature, double thermal, double swelling) {
    const double cold = std::clamp(-temperature / 8.0, 0.0, 1.0);
    const double colder = std::clamp((-temperature - 8.0) / 12.0, 0.0, 1.0);
    return 0.02 + thermal * (20.0 - temperature) + swelling * (SmoothStep(cold) - 0.35 * SmoothStep(colder));
}

struct ChannelShape {
    int Lag;
    double Thermal;
    double Swelling;
    std::uint32_t Seed;
};

void FillChannel(CurveList& curves, const ChannelShape& shape) {
    Noise noise(shape.Seed);
    Curve volume(PointCount);
    Curve temperature(PointCount);
    for (int k = 0; k < PointCount; ++k) {
        const double t = Temperature(k, shape.Lag) + 0.03 * noise.Next();
        temperature[k] = static_cast<float>(t);
        volume[k] = static_cast<float>(Volume(t, shape.Thermal, shape.Swelling) + 0.002 * noise.Next());
    }
    curves.push_back(std::move(volume));
    curves.push_back(std::move(temperature));
}

TMeasureResult MakeDemoMeasure() {
    TMeasureResult measure;
    measure.MeasureDate = 45334.0 + 9.5 / 24.0;  // 2024-02-12 09:30
    measure.DataVersion = CurrentDataVersion;
    measure.MeasureNumber = 7;
    measure.StandardPattern = 2;
    measure.ActiveChannels = 7;
    measure.Duration = (PointCount - 1) * Period;
    measure.Period = Period;
    measure.PointCount = PointCount;
    measure.ConcreteKind = 0;
    measure.GeometryKind = Cube100;
    for (int c = 0; c < ChannelCount; ++c) {
        DefaultDimensions(measure.GeometryKind, measure.PatternDimensions[c]);
        measure.PatternVolume[c] = SpecimenVolume(measure.GeometryKind, measure.PatternDimensions[c]);
    }
    measure.PatternPrimaryWeight = {2391.5, 2405.0, 2378.2};
    measure.PatternSaturatedWeight = {2452.8, 2461.3, 2449.9};
    SetPatternAgeText(measure.PatternAge[0], "28 сут");
    SetPatternAgeText(measure.PatternAge[1], "эталон");
    SetPatternAgeText(measure.PatternAge[2], "28 сут");
    measure.ModelCoefficients = {-0.0125, 2.1e-5, -1.4e-10, 2.0e-16, 0.0, 0.0};
    measure.TemperatureFactor = -9.5;
    measure.DeviceTemperature = {21.5f, 21.4375f, 21.5625f};
    measure.CurveStretch = {1.0, 1.0, 1.0};

    const ChannelShape concreteOne{12, 0.0118, 0.20, 11};
    const ChannelShape standard{6, 0.0120, 0.0, 22};
    const ChannelShape concreteThree{18, 0.0116, 0.55, 33};
    FillChannel(measure.Curves, concreteOne);
    measure.Curves.emplace_back(PointCount, 0.0f);  // reference and difference: the processing fills them
    measure.Curves.emplace_back(PointCount, 0.0f);
    FillChannel(measure.Curves, standard);
    FillChannel(measure.Curves, concreteThree);
    measure.Curves.emplace_back(PointCount, 0.0f);
    measure.Curves.emplace_back(PointCount, 0.0f);
    return measure;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-demo-measure OUTPUT\n";
        return 2;
    }
    const ByteArray image = EncodeMeasure(MakeDemoMeasure());
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    file.close();
    if (!file) {
        std::cerr << "make-demo-measure: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
