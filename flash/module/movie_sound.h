// The sound of a playing movie: the sound tags its timelines ran, turned
// into voices of one mixer that plays through the wave-out device.
//
// Event sounds (StartSound) are decoded the first time they start and kept
// for the movie. A timeline that runs a frame with a SoundStreamBlock plays
// its stream: the blocks of the frames it enters in order, and of the next
// few, are fed to one stream voice; the voice ends when the timeline stops,
// jumps, runs a frame without a block, or its clip is removed. The device is opened with the
// first sound of a movie (a movie without sound never holds one); when it
// cannot be opened, the movie plays on silently and the mixer follows the
// clock so that sounds still end when they would have.
#pragma once

#include "flash/audio/mixer.h"
#include "flash/audio/sound_output.h"
#include "flash/core/player.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace flash {

class MovieSound {
public:
    // Blocks of 512 frames, three ahead: a sound is heard at most about
    // 46 ms after its frame shows, and what the capture records lags its
    // frame by the 12 ms lead alone.
    static constexpr kinolux::audio::SoundOutputConfig kOutputConfig{512, 3};

    MovieSound();
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // Another movie (or none) replaces the current one: every voice stops,
    // the device closes, the decoded sounds are forgotten.
    void reset();

    // Takes the sound tags the player queued since the last call. After a
    // frame ran (frameRan), the streams of timelines that did not go on with
    // their stream end; otherwise streams only start or go on. The sounds
    // scripts play are started, stopped and panned as their channels say,
    // and their channels told how far they have played.
    void takeQueued(Player& player, bool frameRan);
    // The host moved the timeline: every stream ends.
    void stopStreams();
    // Once per frame: keeps a silent output's mixer in time.
    void tick() { output_.tick(); }

    // A stream sound is being heard, so the timeline should keep up with it.
    bool streaming() const;
    bool audible() const { return output_.audible(); }
    // How long after its frame a sound is heard: the device's queue and the
    // mixer's lead, in 44.1 kHz frames.
    std::size_t latencyFrames() const { return output_.latencyFrames(); }
    // Sounds that could not be played, one line each (the first ones only).
    const std::vector<std::string>& problems() const { return problems_; }

private:
    struct Stream {
        std::weak_ptr<DisplayObject> clip;
        kinolux::audio::VoiceId voice = 0;  // 0: the stream cannot be decoded
        kinolux::audio::SoundTransform given;  // the levels last given its voice
        int frame = 0;       // of the clip's timeline, the last one run
        int fedThrough = 0;  // the last frame whose block the voice has
    };
    // A timeline that ran a frame with a stream block.
    struct Block {
        std::weak_ptr<DisplayObject> clip;
    };

    // An event sound a timeline or a button started, heard at its clip's
    // levels; and the levels last given its voice.
    struct ClipVoice {
        std::weak_ptr<DisplayObject> clip;
        kinolux::audio::VoiceId voice = 0;
        kinolux::audio::SoundTransform given;
    };
    // A library sound a script plays: at its channel's levels, and its
    // clip's when it was started on one.
    struct ScriptVoice {
        std::shared_ptr<ScriptSoundChannel> channel;
        std::weak_ptr<DisplayObject> clip;
        kinolux::audio::VoiceId voice = 0;
        kinolux::audio::SoundTransform given;
    };

    void startEvent(const Library& library, std::weak_ptr<DisplayObject> clip, swf::CharacterId soundId,
                    const swf::SoundInfo& info);
    void startScriptSound(const Player& player, std::shared_ptr<ScriptSoundChannel> channel,
                          std::weak_ptr<DisplayObject> clip);
    // Gives every voice the levels its clip and the clip's parents have now.
    void followLevels(Player& player);
    void applyLevels(kinolux::audio::VoiceId voice, const kinolux::audio::SoundTransform& heard,
                     kinolux::audio::SoundTransform& given);
    void stopEverything();
    const std::shared_ptr<const kinolux::audio::DecodedSound>* decoded(const Library& library, swf::CharacterId id);
    std::shared_ptr<const kinolux::audio::DecodedSound> decoded(const std::shared_ptr<const LoadedSound>& loaded);
    // Null when the movie's sounds already take as much memory as they may.
    std::shared_ptr<const kinolux::audio::DecodedSound> decode(const swf::SoundFormatInfo& format,
                                                               std::span<const std::uint8_t> data,
                                                               std::uint32_t sampleCount, const std::string& name);
    void endStreamsWithoutBlocks(const std::unordered_map<const DisplayObject*, Block>& blocks);
    void feedStream(const DisplayObject* key, const Block& block, int lookahead);
    void openOnce();
    void report(std::string message);

    kinolux::audio::Mixer mixer_;
    kinolux::audio::SoundOutput output_;  // after the mixer: closed before it goes
    bool openTried_ = false;
    // By library and id: a movie loaded into a clip has ids of its own. The
    // player keeps every library it loaded while the movie plays.
    std::map<std::pair<const Library*, swf::CharacterId>, std::shared_ptr<const kinolux::audio::DecodedSound>> sounds_;
    // Files scripts loaded, kept with their decoded sound.
    std::unordered_map<const LoadedSound*, std::pair<std::shared_ptr<const LoadedSound>,
                                                     std::shared_ptr<const kinolux::audio::DecodedSound>>>
        loadedSounds_;
    std::size_t decodedFrames_ = 0;  // of every sound in sounds_ and loadedSounds_
    std::unordered_map<const DisplayObject*, Stream> streams_;
    std::vector<ClipVoice> clipVoices_;
    std::vector<ScriptVoice> scriptVoices_;
    ScriptSoundLevels mixerLevels_;  // as last given the mixer
    std::vector<std::string> problems_;
};

}  // namespace flash
