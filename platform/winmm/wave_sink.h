// Where a wave-out device's PCM goes: a sound server, or nowhere at the
// real-time rate. Used by one player thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kinolux::winmm {

class WaveSink {
public:
    virtual ~WaveSink() = default;
    // Returns once the bytes (whole frames) have been taken at the real-time
    // rate of the format: the caller counts them as played.
    virtual void play(const std::uint8_t* bytes, std::size_t size) = 0;
    // Forgets what was taken but not yet heard (waveOutReset).
    virtual void discard() = 0;
    // From another thread: a play() under way may return before its time
    // (the device is being reset or closed).
    virtual void interrupt() {}
};

}  // namespace kinolux::winmm
