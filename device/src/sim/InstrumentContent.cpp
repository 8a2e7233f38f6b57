#include "device/sim/InstrumentContent.h"

#include <algorithm>
#include <cstring>

#include "device/DownloadUnit.h"

namespace zemvalkorta::sim {

namespace {

void Put32(std::uint8_t* target, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) target[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutDouble(std::uint8_t* target, double value) { std::memcpy(target, &value, sizeof value); }

}  // namespace

std::array<std::uint8_t, 204> EncodeHeader(const DeviceHeader& header) {
    std::array<std::uint8_t, 204> bytes{};
    bytes[0] = header.Second;
    bytes[1] = header.Minute;
    bytes[2] = header.Hour;
    bytes[3] = header.Day;
    bytes[4] = header.Month;
    bytes[5] = header.Year;
    Put32(&bytes[8], static_cast<std::uint32_t>(header.MeasureNumber));
    Put32(&bytes[12], static_cast<std::uint32_t>(header.StandardPattern));
    Put32(&bytes[16], static_cast<std::uint32_t>(header.ActiveChannels));
    Put32(&bytes[20], header.Duration);
    Put32(&bytes[24], static_cast<std::uint32_t>(header.Period));
    Put32(&bytes[28], static_cast<std::uint32_t>(header.PointCount));
    Put32(&bytes[32], static_cast<std::uint32_t>(header.ConcreteKind));
    Put32(&bytes[36], static_cast<std::uint32_t>(header.GeometryKind));
    PutDouble(&bytes[40], header.Scale);
    for (int i = 0; i < 6; ++i) PutDouble(&bytes[48 + 8 * i], header.Model[i]);
    for (int c = 0; c < 3; ++c) {
        PutDouble(&bytes[96 + 8 * c], header.Coefficient[c]);
        Put32(&bytes[120 + 4 * c], static_cast<std::uint32_t>(header.ZeroLevel[c]));
        Put32(&bytes[132 + 4 * c], static_cast<std::uint32_t>(header.Temperature16[c]));
        PutDouble(&bytes[144 + 8 * c], header.DeltaVolume[c]);
        PutDouble(&bytes[168 + 8 * c], header.Tetta[c]);
        Put32(&bytes[192 + 4 * c], static_cast<std::uint32_t>(header.Grade[c]));
    }
    return bytes;
}

std::vector<std::uint8_t> EncodeSamples(const SimulatedMeasurement& measurement) {
    std::vector<std::uint8_t> bytes(2 * SampleWords, 0);
    for (std::size_t w = 0; w < SampleWords && w < measurement.Words.size(); ++w) {
        bytes[2 * w] = static_cast<std::uint8_t>(measurement.Words[w]);
        bytes[2 * w + 1] = static_cast<std::uint8_t>(measurement.Words[w] >> 8);
    }
    return bytes;
}

std::array<std::uint8_t, 20> EncodeInformation(const InstrumentContent& content) {
    std::array<std::uint8_t, 20> bytes{};
    Put32(&bytes[0], static_cast<std::uint32_t>(content.Identity.size()));
    Put32(&bytes[4], 0x0102);  // firmware 1.2; the host does not read it
    Put32(&bytes[8], static_cast<std::uint32_t>(content.DataVersion));
    const auto count = content.ReportedCount.value_or(static_cast<std::int32_t>(content.Measurements.size()));
    Put32(&bytes[12], static_cast<std::uint32_t>(count));
    Put32(&bytes[16], static_cast<std::uint32_t>(512 - content.Measurements.size()));  // free places
    return bytes;
}

std::vector<std::uint8_t> IdentityBlock(const std::string& text) {
    std::vector<std::uint8_t> block(text.size() + 1);
    block[0] = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), block.begin() + 1);
    return block;
}

void ApplyContentFaults(InstrumentContent& content, const InstrumentFaults& faults) {
    if (faults.WrongIdentity) content.Identity = IdentityBlock("ZEMVALKORTA-0.9");
    if (faults.BadVersion) content.DataVersion = 0x10002;
    if (faults.BadHeader)
        for (auto& measurement : content.Measurements) measurement.Header.PointCount = 5000;
}

bool ParseFault(const std::string& text, InstrumentFaults& faults) {
    auto numberAfter = [&text](const std::string& prefix, int& target) {
        if (text.rfind(prefix, 0) != 0) return false;
        try {
            std::size_t used = 0;
            const int value = std::stoi(text.substr(prefix.size()), &used);
            if (used != text.size() - prefix.size() || value < 1) return false;
            target = value;
            return true;
        } catch (const std::exception&) {
            return false;
        }
    };
    if (text == "wrong-identity") return faults.WrongIdentity = true;
    if (text == "bad-version") return faults.BadVersion = true;
    if (text == "bad-header") return faults.BadHeader = true;
    return numberAfter("timeout-at=", faults.TimeoutAt) || numberAfter("disconnect-at=", faults.DisconnectAt) ||
           numberAfter("stall-at=", faults.StallAt);
}

}  // namespace zemvalkorta::sim
