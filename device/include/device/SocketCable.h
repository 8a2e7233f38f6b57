#pragma once

// The virtual instrument's cable: a Unix-domain stream socket carrying the
// two bulk endpoints, little-endian:
//   OUT transfer: 0x02, uint32 n (n <= 64), n bytes.
//   IN transfer:  host sends 0x81, uint32 n; device answers uint32 m (m <= n), m bytes.
// The device never sends anything unasked. Both ends of the cable use these
// helpers, so that other programs can play either end.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace zemvalkorta {

inline constexpr std::uint8_t CableOutTag = 0x02;
inline constexpr std::uint8_t CableInTag = 0x81;

enum class CableResult { Done, TimedOut, Broken };

using CableClock = std::chrono::steady_clock;

// Moves exactly data.size() bytes before the deadline (a deadline of
// time_point::max() waits forever).
CableResult CableWriteAll(int socket, std::span<const std::uint8_t> data, CableClock::time_point deadline);
CableResult CableReadAll(int socket, std::span<std::uint8_t> data, CableClock::time_point deadline);

void PutUint32(std::uint8_t* target, std::uint32_t value);
std::uint32_t GetUint32(const std::uint8_t* source);

// Where virtual instruments announce themselves: $XDG_RUNTIME_DIR/zemvalkorta,
// else /tmp/zemvalkorta-<uid>. Created 0700 on demand; a directory owned by
// someone else or open to others is refused (an empty path is returned).
std::filesystem::path InstrumentSocketDirectory();

// Connects to a listening instrument; -1 when nobody accepts.
int ConnectCable(const std::filesystem::path& path);

// Unix-domain socket paths are limited to sockaddr_un::sun_path.
bool FitsSocketPath(const std::filesystem::path& path);

}  // namespace zemvalkorta
