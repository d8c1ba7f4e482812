// Which sink a newly opened device plays on, by the KINOLUX_AUDIO setting.
#pragma once

#include "platform/winmm/pcm_format.h"
#include "platform/winmm/wave_sink.h"

#include <memory>

namespace kinolux::winmm {

// False when KINOLUX_AUDIO is "none": the machine then has no wave-out device.
bool waveOutDeviceExists();

// The PulseAudio stream where a server answers (unless KINOLUX_AUDIO is
// "null"), else the null device.
std::unique_ptr<WaveSink> openWaveSink(const PcmFormat& format);

}  // namespace kinolux::winmm
