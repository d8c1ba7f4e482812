// Splits MP3 (MPEG audio layer III) data into whole frames by their headers,
// so each frame reaches the decoder as one packet and a frame cut across two
// stream blocks waits for the rest of its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kinolux::audio {

// The length in bytes of the frame whose header starts at `bytes`, or 0 when
// no layer III header (with a bit rate and a sample rate) starts there.
std::size_t mp3FrameLength(std::span<const std::uint8_t> bytes);

class Mp3FrameSplitter {
public:
    // Adds data; returns the frames now complete. Bytes that cannot start a
    // frame are skipped and counted.
    std::vector<std::span<const std::uint8_t>> push(std::span<const std::uint8_t> data);
    std::size_t skippedBytes() const { return skipped_; }

private:
    std::vector<std::uint8_t> pending_;   // bytes of a frame not complete yet
    std::vector<std::uint8_t> complete_;  // the frames handed out point into it until the next push
    std::size_t skipped_ = 0;
};

}  // namespace kinolux::audio
