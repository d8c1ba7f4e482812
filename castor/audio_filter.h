// Turns blocks of input sound into frames for the audio encoder: the
// volume applied, resampled and remixed to the encoder's rate, channels
// and sample format, and cut into frames of the size the encoder takes.
#pragma once

#include <cstdint>
#include <vector>

#include "castor/libav_handles.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace castor {

// What the audio encoder takes.
struct EncoderSound {
    int sampleRate = 0;
    int channels = 0;
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    int frameSize = 0;         // samples per frame
    bool wholeFrames = true;   // a short last frame is padded with silence
};

class AudioFilter {
public:
    AudioFilter(const EncoderSound& output, int volume);
    ~AudioFilter();
    AudioFilter(const AudioFilter&) = delete;
    AudioFilter& operator=(const AudioFilter&) = delete;

    // Adds the block without its first `skip` samples.
    void Push(const AVFrame& block, int64_t skip);
    // Adds `samples` samples of silence in the format of `block` (gaps are
    // filled a piece at a time, so that a long gap never sits in memory).
    void PushSilence(int samples, const AVFrame& block);
    // Flushes the resampler: no more input follows.
    void Drain();
    // The next frame for the encoder, stamped in samples from the start;
    // null when fewer than a frame's samples are queued (after Drain: when
    // nothing is left).
    FramePtr Pop();

    // Samples handed out so far, at the output rate.
    int64_t SamplesOut() const { return samplesOut_; }

private:
    void Configure(const AVFrame& block);
    int Convert(const uint8_t** input, int samples);

    EncoderSound output_;
    AVChannelLayout outputLayout_{};
    int volume_;
    ResamplerPtr resampler_;
    AudioFifoPtr fifo_;
    int inputRate_ = 0;
    int inputFormat_ = -1;
    AVChannelLayout inputLayout_{};
    std::vector<uint8_t> scratch_;  // the resampler's output before it joins the queue
    uint8_t* scratchPlanes_[AV_NUM_DATA_POINTERS] = {};
    int scratchCapacity_ = 0;
    std::vector<uint8_t> silence_;  // silent input in the input format
    bool drained_ = false;
    int64_t samplesOut_ = 0;
};

}  // namespace castor
