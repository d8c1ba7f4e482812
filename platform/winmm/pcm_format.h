// The PCM formats the wave-out device plays, checked once at open.
#pragma once

#include "platform/winmm/winmm.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace kinolux::winmm {

struct PcmFormat {
    unsigned rate = 44100;  // sample frames per second
    unsigned channels = 2;  // 1 or 2
    unsigned bits = 16;     // 8 (unsigned) or 16 (signed, little-endian)

    std::size_t frameBytes() const { return channels * bits / 8; }
    std::uint64_t bytesPerSecond() const { return std::uint64_t(rate) * frameBytes(); }
};

// Nothing for a format the device cannot play (not PCM, other sizes or
// channel counts, a rate outside 1000..192000 Hz, an inconsistent
// nBlockAlign).
std::optional<PcmFormat> pcmFormatOf(const WAVEFORMATEX& format);

}  // namespace kinolux::winmm
