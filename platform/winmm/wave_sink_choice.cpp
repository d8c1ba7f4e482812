#include "platform/winmm/wave_sink_choice.h"

#include "platform/winmm/null_wave_sink.h"
#include "platform/winmm/pulse_wave_sink.h"

#include <cstdlib>
#include <string_view>

namespace kinolux::winmm {

namespace {

// Read at every use, so tests can switch between devices.
std::string_view audioSetting()
{
    const char* value = std::getenv("KINOLUX_AUDIO");
    return value ? value : "auto";
}

}  // namespace

bool waveOutDeviceExists()
{
    return audioSetting() != "none";
}

std::unique_ptr<WaveSink> openWaveSink(const PcmFormat& format)
{
    if (audioSetting() != "null") {
        if (auto pulse = openPulseWaveSink(format)) return pulse;
    }
    return std::make_unique<NullWaveSink>(format);
}

}  // namespace kinolux::winmm
