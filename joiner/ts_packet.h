// The few fields of a 188-byte transport packet the library reads.
#pragma once

#include <cstdint>

namespace joiner {

inline constexpr int kTsPacketSize = 188;
inline constexpr uint8_t kSyncByte = 0x47;

inline uint16_t PacketPid(const uint8_t* packet) {
    return static_cast<uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
}

// The programme clock reference the packet carries, in 27 MHz ticks
// (base x 300 + extension); false when it carries none.
inline bool PacketClock(const uint8_t* packet, int64_t& pcr) {
    const bool adaptation = (packet[3] & 0x20) != 0;
    if (!adaptation || packet[4] < 7 || (packet[5] & 0x10) == 0) return false;
    const int64_t base = (int64_t{packet[6]} << 25) | (int64_t{packet[7]} << 17) | (int64_t{packet[8]} << 9) |
                         (int64_t{packet[9]} << 1) | (packet[10] >> 7);
    const int64_t extension = ((packet[10] & 0x01) << 8) | packet[11];
    pcr = base * 300 + extension;
    return true;
}

// The span of the clock before it wraps: 2^33 ticks of the 90 kHz base.
inline constexpr int64_t kClockWrap = (int64_t{1} << 33) * 300;

}  // namespace joiner
