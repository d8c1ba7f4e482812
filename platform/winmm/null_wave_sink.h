// The device of a machine without sound: consumes bytes at the real-time
// rate of the format on a monotonic clock and plays nothing.
#pragma once

#include "platform/clock.h"
#include "platform/winmm/pcm_format.h"
#include "platform/winmm/wave_sink.h"

#include <chrono>

namespace kinolux::winmm {

class NullWaveSink final : public WaveSink {
public:
    // The clock must outlive the sink.
    explicit NullWaveSink(const PcmFormat& format, Clock& clock = realClock()) : format_(format), clock_(clock) {}
    void play(const std::uint8_t* bytes, std::size_t size) override;
    void discard() override {}

private:
    PcmFormat format_;
    Clock& clock_;
    // Deadlines are counted from a start time in whole bytes, so rounding
    // never accumulates; playing restarts from "now" after an idle gap, but
    // not when the writer is merely a little late.
    Clock::TimePoint start_{};
    std::uint64_t bytesSinceStart_ = 0;
};

}  // namespace kinolux::winmm
