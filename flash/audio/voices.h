// What the mixer plays: event sounds (a decoded sound, its segment, loops
// and envelope) and stream sounds (a growing signal fed block by block).
// Both are placed on the mixer's timeline, counted in 44.1 kHz frames.
#pragma once

#include "flash/audio/event_sound.h"
#include "flash/audio/sound_info.h"

#include <memory>

namespace kinolux::audio {

// `then` applied after `first`, as one transform.
SoundTransform combined(const SoundTransform& first, const SoundTransform& then);

struct EventVoice {
    std::shared_ptr<const DecodedSound> sound;
    std::uint64_t startAt = 0;  // mixer position of its first frame
    std::uint32_t inPoint = 0;  // the part that loops: [inPoint, inPoint + length)
    std::uint32_t length = 0;
    std::uint32_t loops = 1;
    std::vector<EnvelopePoint> envelope;
    SoundTransform transform;

    std::uint64_t endAt() const { return startAt + std::uint64_t(length) * loops; }
    // Frames into the sound at mixer position `at`.
    std::uint64_t soundPositionAt(std::uint64_t at) const;
    // Adds the voice's frames for mixer positions [from, from + count) to `mix`.
    void mixInto(float* mix, std::uint64_t from, std::size_t count, const SoundTransform& master) const;
};

struct StreamVoice {
    std::uint64_t startAt = 0;      // mixer position of the stream's first frame
    std::uint64_t bufferStart = 0;  // stream frame of buffer[0]
    std::vector<std::int16_t> buffer;
    SoundTransform transform;

    std::uint64_t decodedEnd() const { return bufferStart + buffer.size() / 2; }
    // Adds decoded sound after what the voice has; drops the oldest beyond
    // the buffer cap.
    void append(const std::vector<std::int16_t>& samples);
    // Forgets the sound before mixer position `at`, which has been played.
    void dropBefore(std::uint64_t at);
    void mixInto(float* mix, std::uint64_t from, std::size_t count, const SoundTransform& master) const;
};

}  // namespace kinolux::audio
