#include "flash/module/movie_sound.h"

#include "flash/module/frame_clock.h"
#include "flash/module/sound_tags.h"

#include <algorithm>
#include <cmath>

namespace flash {

namespace audio = kinolux::audio;

namespace {

// What one movie's decoded event sounds may hold together (about 300 MB):
// each sound is capped on its own, but a hostile movie can start many.
constexpr std::size_t kMaxDecodedFramesPerMovie = std::size_t(audio::kMixRate) * 30 * 60;
constexpr std::size_t kMaxProblems = 20;
// How far ahead of its timeline a stream's blocks are fed.
constexpr double kStreamLeadMs = 200;
constexpr double kFramesPerMs = audio::kMixRate / 1000.0;

audio::SoundTransform transformOf(const ScriptSoundLevels& levels)
{
    return {float(levels.leftToLeft), float(levels.leftToRight), float(levels.rightToRight),
            float(levels.rightToLeft)};
}

// The levels a clip's sounds are heard at: its own, then each parent's.
// Identity for a clip that is gone (its sounds play on as they were).
audio::SoundTransform heardLevels(const std::weak_ptr<DisplayObject>& clip)
{
    audio::SoundTransform heard;
    const auto object = clip.lock();
    for (const DisplayObject* at = object.get(); at; at = at->parent())
        heard = audio::combined(heard, transformOf(at->soundLevels));
    return heard;
}

}  // namespace

MovieSound::MovieSound() : output_(mixer_, kOutputConfig) {}

void MovieSound::reset()
{
    output_.close();
    mixer_.stopAll();
    openTried_ = false;
    sounds_.clear();
    loadedSounds_.clear();
    decodedFrames_ = 0;
    streams_.clear();
    clipVoices_.clear();
    scriptVoices_.clear();
    mixerLevels_ = {};
    mixer_.setMasterTransform({});
    problems_.clear();
}

void MovieSound::takeQueued(Player& player, bool frameRan)
{
    std::vector<QueuedSound> queued;
    queued.swap(player.sounds());
    std::unordered_map<const DisplayObject*, Block> blocks;
    for (QueuedSound& sound : queued) {
        if (sound.stopAll) stopEverything();
        if (sound.channel) startScriptSound(player, std::move(sound.channel), sound.clip);
        const Library& library = sound.library ? *sound.library : player.library();
        if (sound.buttonSound) startEvent(library, sound.clip, sound.buttonSound->soundId, sound.buttonSound->info);
        if (!sound.tag) continue;
        if (const auto* start = std::get_if<swf::StartSound>(sound.tag)) {
            startEvent(library, sound.clip, start->soundId, start->info);
        } else if (std::holds_alternative<swf::SoundStreamBlock>(*sound.tag)) {
            // A timeline runs one block a frame; a second one in the same frame is ignored.
            if (const auto clip = sound.clip.lock()) blocks.emplace(clip.get(), Block{clip});
        }
        // StartSound2 names an ActionScript 3 class, which this player does not run; a
        // SoundStreamHead is looked up when its stream starts, since a goto may enter a
        // stream past the frame that holds it.
    }
    if (frameRan) endStreamsWithoutBlocks(blocks);
    const int lookahead = int(std::ceil(kStreamLeadMs * playingFrameRate(player.frameRate()) / 1000));
    for (const auto& [key, block] : blocks) feedStream(key, block, lookahead);
    followLevels(player);
}

void MovieSound::stopStreams()
{
    for (const auto& [key, stream] : streams_)
        if (stream.voice) mixer_.stop(stream.voice);
    streams_.clear();
}

void MovieSound::startEvent(const Library& library, std::weak_ptr<DisplayObject> clip, swf::CharacterId soundId,
                            const swf::SoundInfo& info)
{
    const auto* sound = decoded(library, soundId);
    if (!sound) return;
    openOnce();
    const audio::VoiceId voice = mixer_.startSound(*sound, soundInfoOf(info));
    if (!voice) return;
    // Heard at its clip's levels from its first block on.
    ClipVoice started{std::move(clip), voice, {}};
    applyLevels(voice, heardLevels(started.clip), started.given);
    clipVoices_.push_back(std::move(started));
}

void MovieSound::startScriptSound(const Player& player, std::shared_ptr<ScriptSoundChannel> channel,
                                  std::weak_ptr<DisplayObject> clip)
{
    std::shared_ptr<const audio::DecodedSound> sound;
    if (channel->loaded) sound = decoded(channel->loaded);
    else if (const auto* library = decoded(player.library(), channel->sound)) sound = *library;
    audio::VoiceId voice = 0;
    if (sound) {
        openOnce();
        audio::SoundInfo info;
        const double from = std::max(0.0, channel->startMs) * kFramesPerMs;
        info.inPoint = std::uint32_t(std::min(from, double(sound->frames())));
        info.loopCount = std::uint16_t(std::clamp(channel->loops, 1, 0xFFFF));
        voice = mixer_.startSound(sound, info);
    }
    // A sound with nothing to play is over at once.
    if (!voice) {
        channel->ended = true;
        return;
    }
    ScriptVoice started{std::move(channel), std::move(clip), voice, {}};
    applyLevels(voice, audio::combined(transformOf(started.channel->levels), heardLevels(started.clip)),
                started.given);
    scriptVoices_.push_back(std::move(started));
}

void MovieSound::applyLevels(audio::VoiceId voice, const audio::SoundTransform& heard, audio::SoundTransform& given)
{
    if (heard == given) return;
    given = heard;
    mixer_.setTransform(voice, heard);
}

void MovieSound::followLevels(Player& player)
{
    if (player.mixerLevels() != mixerLevels_) {
        mixerLevels_ = player.mixerLevels();
        mixer_.setMasterTransform(transformOf(mixerLevels_));
    }
    std::erase_if(clipVoices_, [&](ClipVoice& playing) {
        if (!mixer_.isPlaying(playing.voice)) return true;
        applyLevels(playing.voice, heardLevels(playing.clip), playing.given);
        return false;
    });
    for (auto& [key, stream] : streams_)
        if (stream.voice) applyLevels(stream.voice, heardLevels(stream.clip), stream.given);
    std::erase_if(scriptVoices_, [&](ScriptVoice& playing) {
        ScriptSoundChannel& channel = *playing.channel;
        if (channel.stopRequested) {
            mixer_.stop(playing.voice);
            return true;
        }
        const auto position = mixer_.soundPosition(playing.voice);
        if (!position) {
            channel.ended = true;
            return true;
        }
        channel.positionMs = double(*position) / kFramesPerMs;
        applyLevels(playing.voice, audio::combined(transformOf(channel.levels), heardLevels(playing.clip)),
                    playing.given);
        return false;
    });
}

void MovieSound::stopEverything()
{
    stopStreams();
    for (const ScriptVoice& playing : scriptVoices_) playing.channel->stopRequested = true;
    mixer_.stopAll();
    clipVoices_.clear();
    scriptVoices_.clear();
}

const std::shared_ptr<const audio::DecodedSound>* MovieSound::decoded(const Library& library, swf::CharacterId id)
{
    const auto key = std::pair{&library, id};
    if (const auto found = sounds_.find(key); found != sounds_.end()) return &found->second;
    const Character* character = library.get(id);
    const auto* define = character ? character->as<swf::DefineSound>() : nullptr;
    if (!define) {
        report("StartSound names " + std::to_string(id) + ", which is no sound");
        sounds_.emplace(key, nullptr);  // reported once
        return nullptr;
    }
    auto sound = decode(define->format, define->data, define->sampleCount, "sound " + std::to_string(id));
    if (!sound) return nullptr;
    return &sounds_.emplace(key, std::move(sound)).first->second;
}

std::shared_ptr<const audio::DecodedSound> MovieSound::decoded(const std::shared_ptr<const LoadedSound>& loaded)
{
    if (const auto found = loadedSounds_.find(loaded.get()); found != loadedSounds_.end()) return found->second.second;
    auto sound = decode(loaded->format, loaded->data, loaded->sampleCount, "loaded MP3 sound");
    if (sound) loadedSounds_.emplace(loaded.get(), std::pair{loaded, sound});
    return sound;
}

std::shared_ptr<const audio::DecodedSound> MovieSound::decode(const swf::SoundFormatInfo& format,
                                                              std::span<const std::uint8_t> data,
                                                              std::uint32_t sampleCount, const std::string& name)
{
    if (decodedFrames_ >= kMaxDecodedFramesPerMovie) {
        report(name + " not played: the movie's sounds take too much memory");
        return nullptr;
    }
    audio::EventSoundResult result = audio::decodeEventSound(soundFormatOf(format), data, sampleCount);
    if (!result.message.empty()) report(name + ": " + result.message);
    decodedFrames_ += result.sound->frames();
    return std::move(result.sound);
}

void MovieSound::endStreamsWithoutBlocks(const std::unordered_map<const DisplayObject*, Block>& blocks)
{
    for (auto stream = streams_.begin(); stream != streams_.end();) {
        if (blocks.count(stream->first)) {
            ++stream;
            continue;
        }
        if (stream->second.voice) mixer_.stop(stream->second.voice);
        stream = streams_.erase(stream);
    }
}

void MovieSound::feedStream(const DisplayObject* key, const Block& block, int lookahead)
{
    const auto clip = block.clip.lock();
    const auto* timeline = dynamic_cast<const MovieClip*>(clip.get());
    if (!timeline) return;
    // Where the timeline is now: a script may have moved it on since the frame ran.
    const int frame = timeline->currentFrame();

    auto stream = streams_.find(key);
    // The same address may belong to a new clip by now; a timeline that did not
    // step to its next frame jumped.
    if (stream != streams_.end() &&
        (stream->second.clip.lock() != clip || frame != stream->second.frame + 1)) {
        if (stream->second.voice) mixer_.stop(stream->second.voice);
        streams_.erase(stream);
        stream = streams_.end();
    }
    if (stream == streams_.end()) {
        const swf::SoundStreamHead* head = findStreamHead(timeline->timeline());
        if (!head) return;  // blocks without a head cannot be decoded
        std::string message;
        openOnce();
        const audio::VoiceId voice = mixer_.startStream(streamHeadOf(*head), message);
        // A stream that cannot be decoded goes on without a voice, so it is
        // reported once rather than tried again every frame.
        if (!voice) report("stream sound not played: " + message);
        stream = streams_.emplace(key, Stream{clip, voice, {}, frame, frame - 1}).first;
        if (voice) applyLevels(voice, heardLevels(clip), stream->second.given);
    }
    Stream& playing = stream->second;
    playing.frame = frame;
    if (!playing.voice) return;
    // The blocks of the frames ahead are fed too: the sound then goes on
    // whole while the timeline runs a little late (a slow drawing), and is
    // cut the moment the timeline stops or jumps instead.
    for (int next = std::max(playing.fedThrough + 1, frame); next <= frame + lookahead; ++next) {
        const swf::SoundStreamBlock* ahead = findStreamBlock(timeline->timeline(), next);
        if (!ahead) break;
        if (std::string message = mixer_.streamBlock(playing.voice, ahead->data); !message.empty())
            report("stream sound: " + message);
        playing.fedThrough = next;
    }
}

bool MovieSound::streaming() const
{
    if (!output_.audible()) return false;
    for (const auto& [key, stream] : streams_)
        if (stream.voice) return true;
    return false;
}

void MovieSound::openOnce()
{
    if (openTried_) return;
    openTried_ = true;
    output_.open();
}

void MovieSound::report(std::string message)
{
    if (problems_.size() < kMaxProblems) problems_.push_back(std::move(message));
}

}  // namespace flash
