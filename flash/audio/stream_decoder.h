// Decodes the SoundStreamBlock tags of one stream, in timeline order, into
// one continuous 44100 Hz stereo signal that stays in step with the frames.
#pragma once

#include "flash/audio/native_decoder.h"
#include "flash/audio/resampler.h"

#include <memory>

namespace kinolux::audio {

// The stream half of SoundStreamHead / SoundStreamHead2. Decoding needs
// only the format: each block carries its own sample count and seek, and the
// head's latency seek equals the first block's.
struct StreamHead {
    SoundFormat format;
    std::uint16_t samplesPerFrame = 0;  // average, at the stream's own rate
    std::int16_t latencySeek = 0;       // MP3 only
};

class StreamDecoder {
public:
    explicit StreamDecoder(const StreamHead& head);
    // Why the stream cannot be decoded at all, or "".
    const std::string& error() const { return error_; }

    // Appends the block's sound to `out` and returns a message about damaged
    // data, or "". The first block given may be any block of the stream
    // (playing may start mid-stream): its seek samples are skipped. After it,
    // MP3 blocks are placed by their sample counts and seek samples, so a
    // damaged block costs silence in its own frames instead of moving the
    // rest of the stream.
    std::string decodeBlock(std::span<const std::uint8_t> block, std::vector<std::int16_t>& out);

private:
    StreamHead head_;
    unsigned channels_;
    std::string error_;
    std::unique_ptr<NativeDecoder> decoder_;
    std::unique_ptr<Resampler> resampler_;
    bool started_ = false;
    // Both at the stream's own rate, counted from where playing started.
    std::uint64_t decodedFrames_ = 0;   // frames handed to the resampler
    std::uint64_t declaredFrames_ = 0;  // sum of the MP3 blocks' sample counts
    std::vector<std::int16_t> native_;  // reused between blocks
};

}  // namespace kinolux::audio
