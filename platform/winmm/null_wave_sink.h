// The device of a machine without sound: consumes bytes at the real-time
// rate of the format on a monotonic clock and plays nothing. On a clock
// that only moves when told (a capture's virtual clock) it consumes at that
// clock's rate, and a writer is never "late": the clock stood still.
#pragma once

#include "platform/clock.h"
#include "platform/winmm/pcm_format.h"
#include "platform/winmm/wave_sink.h"

#include <atomic>
#include <chrono>

namespace kinolux::winmm {

class NullWaveSink final : public WaveSink {
public:
    // The clock must outlive the sink.
    enum class Pause { RestartsTiming, KeepsPlace };
    explicit NullWaveSink(const PcmFormat& format, Clock& clock = realClock(), Pause pause = Pause::RestartsTiming)
        : format_(format), clock_(clock), pause_(pause)
    {
    }
    void play(const std::uint8_t* bytes, std::size_t size) override;
    void discard() override {}
    void interrupt() override;

private:
    PcmFormat format_;
    Clock& clock_;
    Pause pause_;
    std::atomic<bool> interrupted_{false};  // consumed by the next play
    // Deadlines are counted from a start time in whole bytes, so rounding
    // never accumulates; playing restarts from "now" after an idle gap, but
    // not when the writer is merely a little late.
    Clock::TimePoint start_{};
    std::uint64_t bytesSinceStart_ = 0;
};

}  // namespace kinolux::winmm
