// The in-memory store of captured PCM between the engine's wave-out writes
// and the WAV writer: a fixed array of 16-bit values (about 56 seconds of
// stereo sound ahead of the writer), so the sound path never allocates.
#pragma once

#include <cstdint>

namespace kinolux {

class CaptureBuffer {
public:
    static constexpr uint32_t kCapacity = 5'000'000;

    // Appends the whole 16-bit values of a block of `byteLength` bytes.
    // When the tail of the array is reached the unread values move to its
    // start first; a block that does not fit even then is dropped (false).
    bool Append(const void* bytes, uint32_t byteLength);
    // The next `count` values, now counted as read; null (and nothing read)
    // when fewer are available. Valid until the next Append.
    const int16_t* Take(uint32_t count);
    void Clear();

    uint32_t ReadPos() const { return readPos_; }
    uint32_t Available() const { return available_; }

private:
    // Left uninitialised: only values appended are ever read, and the pages
    // of a short movie's sound are all a conversion touches of it.
    int16_t values_[kCapacity];
    uint32_t readPos_ = 0;    // index of the first unread value
    uint32_t available_ = 0;  // unread values from readPos_ on
};

}  // namespace kinolux
