// The sound format the engine opens its device with: 44.1 kHz, 16-bit stereo.
#pragma once

#include "platform/winmm/winmm.h"

namespace kinolux::testing {

inline WAVEFORMATEX CdQualityFormat() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    return format;
}

}  // namespace kinolux::testing
