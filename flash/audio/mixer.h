// Mixes a movie's event and stream sounds into 44100 Hz 16-bit stereo.
//
// The engine starts and stops sounds from its own thread; the sound output
// pulls mixed blocks from the wave-out callback thread (render), or, while
// the movie plays silently, only moves the mixer on (advance). Everything is
// thread-safe.
//
// Sounds start at the mixer's "now": the position of the next block to be
// rendered plus the lead, the length of one output block. Whatever is
// started between two pulls thus keeps its distance in time from what was
// started before, and a stream block that arrives a little after its pull
// still plays in full.
#pragma once

#include "flash/audio/event_sound.h"
#include "flash/audio/sound_info.h"
#include "flash/audio/stream_decoder.h"
#include "flash/audio/voices.h"

#include <map>
#include <mutex>
#include <optional>
#include <variant>

namespace kinolux::audio {

using VoiceId = std::uint64_t;  // 0: no voice

class Mixer {
public:
    // Starts an event sound, or, with syncStop, stops the sound's voices.
    // Returns 0 when nothing started (syncStop, syncNoMultiple while the
    // sound plays, an empty sound, or too many voices).
    VoiceId startSound(const std::shared_ptr<const DecodedSound>& sound, const SoundInfo& info);

    // Starts a stream sound (a timeline enters a frame with stream blocks);
    // 0 and a message when its format cannot be decoded.
    VoiceId startStream(const StreamHead& head, std::string& message);
    // The SoundStreamBlock of the frame the stream's timeline shows now.
    // Returns a message about damaged data, or "".
    std::string streamBlock(VoiceId stream, std::span<const std::uint8_t> block);

    void stop(VoiceId voice);
    void stopSound(const DecodedSound* sound);  // every voice of that sound
    void stopAll();

    // Until an event sound's last loop has played, or its voice is stopped.
    bool isPlaying(VoiceId voice) const;
    // Frames into the sound (44.1 kHz) that play now, for event voices.
    std::optional<std::uint64_t> soundPosition(VoiceId voice) const;

    void setTransform(VoiceId voice, const SoundTransform& transform);
    void setMasterTransform(const SoundTransform& transform);
    void setLead(std::size_t frames);

    // Mixes the next `frames` frames into `out` (interleaved left/right).
    void render(std::int16_t* out, std::size_t frames);
    // Moves on `frames` frames without mixing: what would have played ends.
    void advance(std::size_t frames);
    std::uint64_t position() const;

private:
    using Voice = std::variant<EventVoice, StreamVoice>;

    std::uint64_t now() const { return position_ + lead_; }
    void moveOn(std::size_t frames);  // with mutex_ held

    mutable std::mutex mutex_;
    std::map<VoiceId, Voice> voices_;
    VoiceId nextVoice_ = 1;
    std::uint64_t position_ = 0;  // mixer frame of the next render
    std::size_t lead_ = 0;
    SoundTransform master_;
    std::vector<float> mix_;  // reused by render

    // Decoding happens outside mutex_, so a long block never stalls the
    // output; decoders are used only under decodeMutex_.
    std::mutex decodeMutex_;
    std::map<VoiceId, std::unique_ptr<StreamDecoder>> streamDecoders_;
};

}  // namespace kinolux::audio
