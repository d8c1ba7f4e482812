#include "flash/audio/voices.h"

#include "flash/audio/audio_limits.h"
#include "flash/audio/envelope.h"

#include <algorithm>

namespace kinolux::audio {

namespace {

void addFrame(float* mix, float left, float right, const SoundTransform& t)
{
    mix[0] += left * t.leftToLeft + right * t.rightToLeft;
    mix[1] += left * t.leftToRight + right * t.rightToRight;
}

}  // namespace

SoundTransform combined(const SoundTransform& first, const SoundTransform& then)
{
    return SoundTransform{
        first.leftToLeft * then.leftToLeft + first.leftToRight * then.rightToLeft,
        first.leftToLeft * then.leftToRight + first.leftToRight * then.rightToRight,
        first.rightToLeft * then.leftToRight + first.rightToRight * then.rightToRight,
        first.rightToLeft * then.leftToLeft + first.rightToRight * then.rightToLeft,
    };
}

std::uint64_t EventVoice::soundPositionAt(std::uint64_t at) const
{
    if (at <= startAt || length == 0) return inPoint;
    return inPoint + (at - startAt) % length;
}

void EventVoice::mixInto(float* mix, std::uint64_t from, std::size_t count, const SoundTransform& master) const
{
    const std::uint64_t first = std::max(from, startAt);
    const std::uint64_t last = std::min(from + count, endAt());
    if (first >= last) return;
    const SoundTransform t = combined(transform, master);
    const std::int16_t* samples = sound->samples.data();
    EnvelopeCursor envelopeAt(envelope, first - startAt);
    std::uint64_t source = soundPositionAt(first);
    for (std::uint64_t at = first; at < last; ++at) {
        const Gains gains = envelopeAt.next();
        addFrame(mix + 2 * (at - from), samples[2 * source] * gains.left, samples[2 * source + 1] * gains.right, t);
        if (++source == std::uint64_t(inPoint) + length) source = inPoint;
    }
}

void StreamVoice::append(const std::vector<std::int16_t>& samples)
{
    buffer.insert(buffer.end(), samples.begin(), samples.end());
    const std::size_t frames = buffer.size() / 2;
    if (frames > limits::kMaxStreamBufferFrames) {
        const std::size_t excess = frames - limits::kMaxStreamBufferFrames;
        buffer.erase(buffer.begin(), buffer.begin() + std::ptrdiff_t(2 * excess));
        bufferStart += excess;
    }
}

void StreamVoice::dropBefore(std::uint64_t at)
{
    if (at <= startAt) return;
    const std::uint64_t played = std::min<std::uint64_t>(at - startAt, decodedEnd());
    if (played <= bufferStart) return;
    buffer.erase(buffer.begin(), buffer.begin() + std::ptrdiff_t(2 * (played - bufferStart)));
    bufferStart = played;
}

// The stream is tied to the timeline: the frame for mixer position p is
// stream frame p - startAt, whether or not its block came in time. Late
// sound is dropped rather than played late, so it never drifts from the
// pictures.
void StreamVoice::mixInto(float* mix, std::uint64_t from, std::size_t count, const SoundTransform& master) const
{
    const std::uint64_t first = std::max({from, startAt + bufferStart});
    const std::uint64_t last = std::min(from + count, startAt + decodedEnd());
    if (first >= last) return;
    const SoundTransform t = combined(transform, master);
    const std::int16_t* samples = buffer.data() + 2 * (first - startAt - bufferStart);
    for (std::uint64_t at = first; at < last; ++at, samples += 2)
        addFrame(mix + 2 * (at - from), samples[0], samples[1], t);
}

}  // namespace kinolux::audio
