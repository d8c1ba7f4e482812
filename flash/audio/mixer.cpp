#include "flash/audio/mixer.h"

#include "flash/audio/audio_limits.h"

#include <algorithm>
#include <cmath>

namespace kinolux::audio {

VoiceId Mixer::startSound(const std::shared_ptr<const DecodedSound>& sound, const SoundInfo& info)
{
    if (info.syncStop) {
        stopSound(sound.get());
        return 0;
    }
    if (!sound) return 0;
    const std::uint64_t frames = sound->frames();
    EventVoice voice;
    voice.sound = sound;
    voice.inPoint = std::uint32_t(std::min<std::uint64_t>(info.inPoint.value_or(0), frames));
    const std::uint64_t outPoint = std::clamp<std::uint64_t>(info.outPoint.value_or(frames), voice.inPoint, frames);
    voice.length = std::uint32_t(outPoint - voice.inPoint);
    voice.loops = std::max<std::uint32_t>(1, info.loopCount.value_or(1));
    voice.envelope = info.envelope;
    if (voice.length == 0) return 0;

    std::lock_guard lock(mutex_);
    const bool playing = std::any_of(voices_.begin(), voices_.end(), [&](const auto& entry) {
        const auto* event = std::get_if<EventVoice>(&entry.second);
        return event && event->sound == sound;
    });
    if ((info.syncNoMultiple && playing) || voices_.size() >= limits::kMaxVoices) return 0;
    voice.startAt = now();
    const VoiceId id = nextVoice_++;
    voices_.emplace(id, std::move(voice));
    return id;
}

VoiceId Mixer::startStream(const StreamHead& head, std::string& message)
{
    auto decoder = std::make_unique<StreamDecoder>(head);
    if (!decoder->error().empty()) {
        message = decoder->error();
        return 0;
    }
    VoiceId id;
    {
        std::lock_guard lock(mutex_);
        if (voices_.size() >= limits::kMaxVoices) {
            message = "too many sounds playing at once: stream sound not played";
            return 0;
        }
        id = nextVoice_++;
        StreamVoice voice;
        voice.startAt = now();
        voices_.emplace(id, std::move(voice));
    }
    std::lock_guard decoding(decodeMutex_);
    streamDecoders_.emplace(id, std::move(decoder));
    return id;
}

std::string Mixer::streamBlock(VoiceId stream, std::span<const std::uint8_t> block)
{
    std::vector<std::int16_t> samples;
    std::string message;
    {
        std::lock_guard decoding(decodeMutex_);
        const auto found = streamDecoders_.find(stream);
        if (found == streamDecoders_.end()) return {};
        message = found->second->decodeBlock(block, samples);
    }
    std::lock_guard lock(mutex_);
    const auto found = voices_.find(stream);
    if (found != voices_.end())
        if (auto* voice = std::get_if<StreamVoice>(&found->second)) voice->append(samples);
    return message;
}

void Mixer::stop(VoiceId voice)
{
    {
        std::lock_guard lock(mutex_);
        voices_.erase(voice);
    }
    std::lock_guard decoding(decodeMutex_);
    streamDecoders_.erase(voice);
}

void Mixer::stopSound(const DecodedSound* sound)
{
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [&](const auto& entry) {
        const auto* event = std::get_if<EventVoice>(&entry.second);
        return event && event->sound.get() == sound;
    });
}

void Mixer::stopAll()
{
    {
        std::lock_guard lock(mutex_);
        voices_.clear();
    }
    std::lock_guard decoding(decodeMutex_);
    streamDecoders_.clear();
}

bool Mixer::isPlaying(VoiceId voice) const
{
    std::lock_guard lock(mutex_);
    return voices_.count(voice) != 0;
}

std::optional<std::uint64_t> Mixer::soundPosition(VoiceId voice) const
{
    std::lock_guard lock(mutex_);
    const auto found = voices_.find(voice);
    if (found == voices_.end()) return std::nullopt;
    const auto* event = std::get_if<EventVoice>(&found->second);
    if (!event) return std::nullopt;
    return event->soundPositionAt(position_);
}

void Mixer::setTransform(VoiceId voice, const SoundTransform& transform)
{
    std::lock_guard lock(mutex_);
    const auto found = voices_.find(voice);
    if (found != voices_.end()) std::visit([&](auto& v) { v.transform = transform; }, found->second);
}

void Mixer::setMasterTransform(const SoundTransform& transform)
{
    std::lock_guard lock(mutex_);
    master_ = transform;
}

void Mixer::setLead(std::size_t frames)
{
    std::lock_guard lock(mutex_);
    lead_ = frames;
}

void Mixer::render(std::int16_t* out, std::size_t frames)
{
    std::lock_guard lock(mutex_);
    mix_.assign(2 * frames, 0.0f);
    for (const auto& [id, voice] : voices_)
        std::visit([&](const auto& v) { v.mixInto(mix_.data(), position_, frames, master_); }, voice);
    for (std::size_t i = 0; i < 2 * frames; ++i)
        out[i] = std::int16_t(std::lrint(std::clamp(mix_[i], -32768.0f, 32767.0f)));
    moveOn(frames);
}

void Mixer::advance(std::size_t frames)
{
    std::lock_guard lock(mutex_);
    moveOn(frames);
}

std::uint64_t Mixer::position() const
{
    std::lock_guard lock(mutex_);
    return position_;
}

void Mixer::moveOn(std::size_t frames)
{
    position_ += frames;
    for (auto entry = voices_.begin(); entry != voices_.end();) {
        if (auto* stream = std::get_if<StreamVoice>(&entry->second)) {
            stream->dropBefore(position_);
            ++entry;
        } else if (std::get<EventVoice>(entry->second).endAt() <= position_) {
            entry = voices_.erase(entry);
        } else {
            ++entry;
        }
    }
}

}  // namespace kinolux::audio
