// Which sink a newly opened device plays on, by the KINOLUX_AUDIO setting.
#pragma once

#include "platform/clock.h"
#include "platform/winmm/pcm_format.h"
#include "platform/winmm/wave_sink.h"

#include <memory>

namespace kinolux::winmm {

// Kinolux's own entry beyond the WINMM interface (exported from
// libwinmm.so): while `clock` is set, every device opened plays on the null
// device at that clock's pace, whatever the machine has. A capture that
// moves a virtual clock sets it, so the engine's sound is mixed as fast as
// its frames are stepped. The clock must outlive those devices; null goes
// back to the machine's devices.
__attribute__((visibility("default"))) void useWaveOutClock(Clock* clock);

// False when KINOLUX_AUDIO is "none" and no clock is set: the machine then
// has no wave-out device.
bool waveOutDeviceExists();

// The null device on the set clock; else the PulseAudio stream where a
// server answers (unless KINOLUX_AUDIO is "null"), else the null device.
std::unique_ptr<WaveSink> openWaveSink(const PcmFormat& format);

}  // namespace kinolux::winmm
