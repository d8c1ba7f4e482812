// Tones for the sample movie's sounds, as 16-bit little-endian PCM.
#pragma once

#include <cstdint>
#include <vector>

namespace makesample {

// A chord of the given frequencies, faded in and out, mono.
std::vector<std::uint8_t> chord(const std::vector<double>& frequencies, int sampleRate, int samples);

// A melody, one note per step of stepSamples, stereo (the right channel an
// octave lower), for streaming.
std::vector<std::uint8_t> melody(const std::vector<double>& notes, int sampleRate, int stepSamples);

}  // namespace makesample
