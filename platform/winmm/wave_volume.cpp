#include "platform/winmm/wave_volume.h"

#include <cstring>

namespace kinolux::winmm {

namespace {

constexpr unsigned kFull = 0xFFFF;

int scaled(int sample, unsigned level)
{
    return sample * int(level) / int(kFull);
}

}  // namespace

void applyVolume(const PcmFormat& format, DWORD volume, std::uint8_t* bytes, std::size_t size)
{
    const unsigned levels[2] = {volume & 0xFFFF, format.channels == 2 ? volume >> 16 : volume & 0xFFFF};
    if (levels[0] == kFull && levels[1] == kFull) return;
    const std::size_t samples = size / format.frameBytes() * format.channels;
    if (format.bits == 8) {
        for (std::size_t i = 0; i < samples; ++i)
            bytes[i] = std::uint8_t(128 + scaled(int(bytes[i]) - 128, levels[i % format.channels]));
        return;
    }
    for (std::size_t i = 0; i < samples; ++i) {
        std::int16_t sample;
        std::memcpy(&sample, bytes + 2 * i, 2);
        sample = std::int16_t(scaled(sample, levels[i % format.channels]));
        std::memcpy(bytes + 2 * i, &sample, 2);
    }
}

}  // namespace kinolux::winmm
