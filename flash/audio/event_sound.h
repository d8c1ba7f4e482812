// A DefineSound body decoded once, whole, for the mixer to start as often as
// the movie asks.
#pragma once

#include "flash/audio/sound_format.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kinolux::audio {

// 44100 Hz, stereo, interleaved left/right.
struct DecodedSound {
    std::vector<std::int16_t> samples;
    std::size_t frames() const { return samples.size() / 2; }
};

struct EventSoundResult {
    std::shared_ptr<const DecodedSound> sound;  // never null; empty when nothing could be decoded
    std::string message;                        // what was wrong with the data, or ""
};

// data: the sound data of DefineSound (for MP3 starting with SeekSamples);
// sampleCount: its SoundSampleCount, at the sound's own rate (0: unknown).
// MP3 loses its seek samples (the encoder's delay) at the start, and every
// format is cut to sampleCount, so the sound lasts exactly as declared.
EventSoundResult decodeEventSound(const SoundFormat& format, std::span<const std::uint8_t> data,
                                  std::uint32_t sampleCount);

}  // namespace kinolux::audio
