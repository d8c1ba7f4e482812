// The four-byte header each MP3 (MPEG audio layer III) frame starts with:
// what the sound decoder splits frames by, and what a loaded MP3 file is
// measured by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace swf {

struct Mp3FrameHeader {
    std::size_t length = 0;  // of the whole frame, in bytes
    unsigned sampleRate = 0;
    unsigned samples = 0;    // per channel
    bool stereo = true;
};

// The header starting at `bytes`; nullopt when no layer III header (with a
// bit rate and a sample rate) starts there.
std::optional<Mp3FrameHeader> readMp3FrameHeader(std::span<const std::uint8_t> bytes);

}  // namespace swf
