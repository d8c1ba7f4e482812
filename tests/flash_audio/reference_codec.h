// Reference data for the sound tests, made with libavcodec directly:
// encoded packets, and decodes that do not go through Kinolux's code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kinolux::audio::test {

using Packet = std::vector<std::uint8_t>;

// Encodes interleaved 16-bit PCM with the named encoder ("adpcm_swf",
// "libmp3lame", "nellymoser"); `delay` receives the encoder's initial padding.
std::vector<Packet> encode(const std::string& encoder, int rate, int channels, const std::vector<std::int16_t>& pcm,
                           int* delay = nullptr);

// Decodes each packet with the named decoder ("adpcm_swf", "mp3", ...) into
// interleaved 16-bit PCM.
std::vector<std::int16_t> decode(const std::string& decoder, int rate, int channels, const std::vector<Packet>& packets);

// A sine of `hz` at `rate`, `frames` long, on every channel, at 0.5 of full scale.
std::vector<std::int16_t> sine(double hz, int rate, int channels, std::size_t frames);

// A tone gliding from 100 to 600 Hz: unlike a sine, it matches itself only
// when lined up exactly.
std::vector<std::int16_t> sweep(int rate, int channels, std::size_t frames);

// Pearson correlation of two equally long signals.
double correlation(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b);

}  // namespace kinolux::audio::test
