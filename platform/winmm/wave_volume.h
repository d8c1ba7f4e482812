// The wave-out volume convention, applied to the samples played.
#pragma once

#include "platform/winmm/pcm_format.h"

namespace kinolux::winmm {

// volume: low word left, high word right, 0xFFFF full; a mono format uses
// the low word. Scales the whole frames of bytes[0, size) in place.
void applyVolume(const PcmFormat& format, DWORD volume, std::uint8_t* bytes, std::size_t size);

}  // namespace kinolux::winmm
