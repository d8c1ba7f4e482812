#include "castor/audio_filter.h"

#include <algorithm>

#include "castor/failure.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

namespace castor {
namespace {

constexpr int kNormalVolume = 256;

}  // namespace

AudioFilter::~AudioFilter() {
    av_channel_layout_uninit(&inputLayout_);
    av_channel_layout_uninit(&outputLayout_);
}

AudioFilter::AudioFilter(const EncoderSound& output, int volume) : output_(output), volume_(volume) {
    av_channel_layout_default(&outputLayout_, output.channels);
    fifo_.reset(av_audio_fifo_alloc(output.format, output.channels, std::max(output.frameSize, 1) * 2));
    if (!fifo_) {
        Fail("Out of memory");
    }
}

void AudioFilter::Configure(const AVFrame& block) {
    AVChannelLayout layout{};
    if (block.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&layout, block.ch_layout.nb_channels);
    } else {
        Check(av_channel_layout_copy(&layout, &block.ch_layout), "Out of memory");
    }
    const bool same = resampler_ && block.sample_rate == inputRate_ && block.format == inputFormat_ &&
                      av_channel_layout_compare(&layout, &inputLayout_) == 0;
    if (same) {
        av_channel_layout_uninit(&layout);
        return;
    }
    if (resampler_) {
        Drain();  // what the old conversion still holds comes first
        drained_ = false;
    }
    av_channel_layout_uninit(&inputLayout_);
    inputLayout_ = layout;
    inputRate_ = block.sample_rate;
    inputFormat_ = block.format;
    silence_.clear();

    SwrContext* context = nullptr;
    Check(swr_alloc_set_opts2(&context, &outputLayout_, output_.format, output_.sampleRate,
                              &inputLayout_, static_cast<AVSampleFormat>(inputFormat_), inputRate_, 0,
                              nullptr),
          "Could not set up the sound conversion");
    resampler_.reset(context);
    if (volume_ != kNormalVolume) {
        // Mixing in floating point lets a gain above 1 clip instead of wrap.
        const double gain = static_cast<double>(volume_) / kNormalVolume;
        av_opt_set_double(context, "rematrix_volume", gain, 0);
        av_opt_set_double(context, "rematrix_maxval", std::max(1.0, gain), 0);
        av_opt_set_sample_fmt(context, "internal_sample_fmt", AV_SAMPLE_FMT_FLTP, 0);
    }
    Check(swr_init(context), "Could not set up the sound conversion");
}

int AudioFilter::Convert(const uint8_t** input, int samples) {
    const int capacity = swr_get_out_samples(resampler_.get(), samples);
    if (capacity > scratchCapacity_) {
        const int bytes = av_samples_get_buffer_size(nullptr, output_.channels, capacity, output_.format, 1);
        Check(bytes, "Could not convert the sound");
        scratch_.resize(static_cast<size_t>(bytes));
        av_samples_fill_arrays(scratchPlanes_, nullptr, scratch_.data(), output_.channels, capacity,
                               output_.format, 1);
        scratchCapacity_ = capacity;
    }
    const int converted =
        Check(swr_convert(resampler_.get(), scratchPlanes_, scratchCapacity_, input, samples),
              "Could not convert the sound");
    if (converted > 0 &&
        av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(scratchPlanes_), converted) < converted) {
        Fail("Out of memory");
    }
    return converted;
}

void AudioFilter::Push(const AVFrame& block, int64_t skip) {
    Configure(block);
    const auto format = static_cast<AVSampleFormat>(block.format);
    const int channels = block.ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format);
    const int step = av_get_bytes_per_sample(format) * (planar ? 1 : channels);
    const uint8_t* planes[AV_NUM_DATA_POINTERS] = {};
    for (int plane = 0; plane < (planar ? channels : 1) && plane < AV_NUM_DATA_POINTERS; ++plane) {
        planes[plane] = block.extended_data[plane] + skip * step;
    }
    Convert(planes, block.nb_samples - static_cast<int>(skip));
}

void AudioFilter::PushSilence(int samples, const AVFrame& block) {
    Configure(block);
    const auto format = static_cast<AVSampleFormat>(inputFormat_);
    const int channels = inputLayout_.nb_channels;
    uint8_t* planes[AV_NUM_DATA_POINTERS] = {};
    const int bytes = av_samples_get_buffer_size(nullptr, channels, samples, format, 1);
    Check(bytes, "Could not convert the sound");
    if (silence_.size() < static_cast<size_t>(bytes)) {
        silence_.resize(static_cast<size_t>(bytes));
    }
    av_samples_fill_arrays(planes, nullptr, silence_.data(), channels, samples, format, 1);
    av_samples_set_silence(planes, 0, samples, channels, format);
    Convert(const_cast<const uint8_t**>(planes), samples);
}

void AudioFilter::Drain() {
    if (resampler_ && !drained_) {
        while (Convert(nullptr, 0) > 0) {
        }
    }
    drained_ = true;
}

FramePtr AudioFilter::Pop() {
    const int queued = av_audio_fifo_size(fifo_.get());
    const int take = std::min(queued, output_.frameSize);
    if (take == 0 || (take < output_.frameSize && !drained_)) {
        return nullptr;
    }
    FramePtr frame = NewFrame();
    frame->format = output_.format;
    frame->sample_rate = output_.sampleRate;
    Check(av_channel_layout_copy(&frame->ch_layout, &outputLayout_), "Out of memory");
    frame->nb_samples = output_.wholeFrames ? output_.frameSize : take;
    Check(av_frame_get_buffer(frame.get(), 0), "Could not allocate sound");
    if (take < frame->nb_samples) {
        av_samples_set_silence(frame->extended_data, take, frame->nb_samples - take,
                               output_.channels, output_.format);
    }
    av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame->extended_data), take);
    frame->pts = samplesOut_;
    samplesOut_ += frame->nb_samples;
    return frame;
}

}  // namespace castor
