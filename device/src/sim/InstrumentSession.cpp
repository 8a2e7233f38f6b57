#include <algorithm>

#include "device/DownloadUnit.h"
#include "device/sim/InstrumentServer.h"

namespace zemvalkorta::sim {

InstrumentSession::InstrumentSession(std::shared_ptr<const InstrumentContent> content) : content_(std::move(content)) {}

void InstrumentSession::HandleOut(std::span<const std::uint8_t> packet) {
    pending_.clear();
    pendingOffset_ = 0;
    if (packet.size() < 4) return;
    const std::uint32_t code = static_cast<std::uint32_t>(packet[0] | (packet[1] << 8) | (packet[2] << 16)) |
                               (static_cast<std::uint32_t>(packet[3]) << 24);
    const auto& measurements = content_->Measurements;
    switch (code) {
        case InformationCommand: {
            const auto block = EncodeInformation(*content_);
            pending_.assign(block.begin(), block.end());
            break;
        }
        case IdentityCommand:
            pending_ = content_->Identity;
            break;
        case BeginReadingCommand:
            cursor_ = 0;
            break;
        case HeaderCommand:
            if (cursor_ < measurements.size()) {
                const auto header = EncodeHeader(measurements[cursor_].Header);
                pending_.assign(header.begin(), header.end());
            } else {
                pending_.assign(HeaderBlockSize, 0);
            }
            break;
        case SamplesCommand:
            if (cursor_ < measurements.size())
                pending_ = EncodeSamples(measurements[cursor_++]);
            else
                pending_.assign(SampleBlockSize, 0);
            break;
        case ScreenCommand: {
            const auto screen = RenderInstrumentScreen(*content_);
            pending_.assign(screen.begin(), screen.end());
            break;
        }
        default:
            break;  // unknown commands are ignored, as the firmware does
    }
}

std::vector<std::uint8_t> InstrumentSession::HandleIn(std::size_t asked) {
    const std::size_t available = pending_.size() - pendingOffset_;
    const std::size_t count = std::min(asked, available);
    std::vector<std::uint8_t> reply(pending_.begin() + static_cast<long>(pendingOffset_),
                                    pending_.begin() + static_cast<long>(pendingOffset_ + count));
    pendingOffset_ += count;
    return reply;
}

std::chrono::microseconds PacedTransferTime(std::size_t bytes) {
    const std::size_t packets = std::max<std::size_t>(1, (bytes + 63) / 64);
    return std::chrono::microseconds(static_cast<long long>(packets) * 64);
}

}  // namespace zemvalkorta::sim
