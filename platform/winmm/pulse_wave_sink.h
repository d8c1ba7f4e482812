// The real output device: a PulseAudio (or PipeWire) server's playback stream.
#pragma once

#include "platform/winmm/pcm_format.h"
#include "platform/winmm/wave_sink.h"

#include <memory>

namespace kinolux::winmm {

// Nothing when no server answers.
std::unique_ptr<WaveSink> openPulseWaveSink(const PcmFormat& format);

}  // namespace kinolux::winmm
