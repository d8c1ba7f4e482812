#include "platform/winmm/wave_sink_choice.h"

#include "platform/winmm/null_wave_sink.h"
#include "platform/winmm/pulse_wave_sink.h"

#include <atomic>
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

std::atomic<Clock*> pacingClock{nullptr};

}  // namespace

void useWaveOutClock(Clock* clock)
{
    pacingClock = clock;
}

bool waveOutDeviceExists()
{
    return pacingClock || audioSetting() != "none";
}

std::unique_ptr<WaveSink> openWaveSink(const PcmFormat& format)
{
    if (Clock* clock = pacingClock) return std::make_unique<NullWaveSink>(format, *clock, NullWaveSink::Pause::KeepsPlace);
    if (audioSetting() != "null") {
        if (auto pulse = openPulseWaveSink(format)) return pulse;
    }
    return std::make_unique<NullWaveSink>(format);
}

}  // namespace kinolux::winmm
