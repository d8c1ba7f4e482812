#include "flash/audio/stream_decoder.h"

#include "flash/audio/audio_limits.h"

#include <algorithm>

namespace kinolux::audio {

namespace {

constexpr std::size_t kMp3BlockHeaderBytes = 4;  // SampleCount (UI16), SeekSamples (SI16)

}  // namespace

StreamDecoder::StreamDecoder(const StreamHead& head) : head_(head), channels_(decodedChannels(head.format))
{
    decoder_ = makeNativeDecoder(head.format, error_);
    if (decoder_) resampler_ = std::make_unique<Resampler>(doubledSampleRate(head.format), channels_);
    else error_ = codecName(head.format.codec) + " stream sound not played: " + error_;
}

std::string StreamDecoder::decodeBlock(std::span<const std::uint8_t> block, std::vector<std::int16_t>& out)
{
    if (!decoder_) return error_;
    const bool mp3 = head_.format.codec == SoundCodec::Mp3;
    std::size_t sampleCount = 0;
    std::int64_t seek = 0;  // where the frame starts in the block's sound; negative: before it
    if (mp3) {
        if (block.size() < kMp3BlockHeaderBytes) return "MP3 stream block too short for its header";
        sampleCount = std::size_t(block[0] | block[1] << 8);
        seek = std::int16_t(block[2] | block[3] << 8);
        block = block.subspan(kMp3BlockHeaderBytes);
    }
    native_.clear();
    std::string message = decoder_->decode(block, native_);
    std::size_t frames = native_.size() / channels_;
    const std::size_t nativeLimit = limits::kMaxStreamBlockFrames * doubledSampleRate(head_.format) / (2 * kMixRate);
    if (frames > nativeLimit) {
        frames = nativeLimit;
        native_.resize(frames * channels_);
        if (message.empty()) message = "stream block holding more than 10 seconds cut";
    }

    // The block's sound belongs at stream frame (declared - seek): the first
    // block given defines frame 0, later ones follow the sample counts.
    const std::int64_t blockStart = std::int64_t(declaredFrames_) - seek;
    if (blockStart > std::int64_t(decodedFrames_)) {
        // Earlier blocks fell short of their frames (or the first block starts
        // after its frame): silence up to this block.
        const std::size_t gap = std::min<std::size_t>(std::size_t(blockStart - std::int64_t(decodedFrames_)), nativeLimit);
        native_.insert(native_.begin(), gap * channels_, 0);
        frames += gap;
    } else if (!started_ && blockStart < 0) {
        // The first block's lead-in belongs to an earlier frame.
        const std::size_t skip = std::min<std::size_t>(std::size_t(-blockStart), frames);
        native_.erase(native_.begin(), native_.begin() + std::ptrdiff_t(skip * channels_));
        frames -= skip;
    }
    started_ = true;
    decodedFrames_ += frames;
    declaredFrames_ += mp3 ? sampleCount : frames;
    resampler_->convert(native_, out);
    return message;
}

}  // namespace kinolux::audio
