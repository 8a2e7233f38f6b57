#include "storage/TextExport.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace zemvalkorta {

namespace {

struct ExportedChannel {
    const Curve* Volume;
    const Curve* Temperature;
};

std::vector<ExportedChannel> ExportedChannels(const TMeasureResult& measure) {
    std::vector<ExportedChannel> channels;
    auto needed = static_cast<std::size_t>(std::max(measure.PointCount, 0));
    for (int channel = 0; channel < ChannelCount; ++channel) {
        if (!IsChannelActive(measure.ActiveChannels, channel)) continue;
        auto first = static_cast<std::size_t>(FirstCurveOfChannel(measure, channel));
        if (first + TemperatureCurve >= measure.Curves.size())
            throw ExportError("Канал " + std::to_string(channel + 1) + ": нет кривых для экспорта");
        const Curve& volume = measure.Curves[first + VolumeCurve];
        const Curve& temperature = measure.Curves[first + TemperatureCurve];
        if (volume.size() < needed || temperature.size() < needed)
            throw ExportError("Канал " + std::to_string(channel + 1) + ": кривые короче числа точек " +
                              std::to_string(needed));
        channels.push_back({&volume, &temperature});
    }
    return channels;
}

}  // namespace

void ExportMeasureText(const TMeasureResult& measure, const std::filesystem::path& file,
                       const FormatSettings& settings) {
    std::vector<ExportedChannel> channels = ExportedChannels(measure);
    std::string text;
    for (std::int32_t j = 0; j < measure.PointCount; ++j) {
        text += std::to_string(j);
        for (const ExportedChannel& channel : channels) {
            text += '\t';
            text += FormatFloat("0.000", (*channel.Volume)[j], settings);
            text += '\t';
            text += FormatFloat("0.00", (*channel.Temperature)[j], settings);
        }
        text += "\r\n";
    }
    // Written beside the target and renamed over it, so that a failure leaves no partial file.
    std::filesystem::path partial = file;
    partial += ".partial";
    std::FILE* stream = std::fopen(partial.c_str(), "wb");
    if (stream == nullptr) throw ExportError("Не удалось создать файл " + file.string());
    bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    written = std::fflush(stream) == 0 && written;
    written = std::fclose(stream) == 0 && written;
    std::error_code error;
    if (written) std::filesystem::rename(partial, file, error);
    if (!written || error) {
        std::filesystem::remove(partial, error);
        throw ExportError("Не удалось записать файл " + file.string());
    }
}

}  // namespace zemvalkorta
