// How a movie asks for an event sound to be played (StartSound's SoundInfo),
// and how a playing sound is panned and scaled.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kinolux::audio {

struct EnvelopePoint {
    std::uint32_t pos44 = 0;  // 44.1 kHz frames since the sound started playing
    std::uint16_t leftLevel = 32768, rightLevel = 32768;  // 32768 = full
};

struct SoundInfo {
    bool syncStop = false;        // stop the sound's playing instances, start nothing
    bool syncNoMultiple = false;  // start only if the sound is not playing already
    std::optional<std::uint32_t> inPoint, outPoint;  // 44.1 kHz frames into the sound; out is where it stops
    std::optional<std::uint16_t> loopCount;          // plays; 0 counts as 1
    std::vector<EnvelopePoint> envelope;             // levels between points are interpolated
};

// Where each input channel goes, as fractions: ActionScript's
// Sound.setTransform in 0..1 instead of percent.
struct SoundTransform {
    float leftToLeft = 1, leftToRight = 0, rightToRight = 1, rightToLeft = 0;
    bool operator==(const SoundTransform&) const = default;
};

}  // namespace kinolux::audio
