#include "castor/encoder_setup.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "castor/amr_encoder.h"
#include "castor/failure.h"
#include "castor/libav_encoder.h"
#include "castor/libav_options.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace castor {
namespace {

// -hq: the slower searches of each encoder family, where it has them. For
// libavcodec's MPEG family the switch has always meant a brute-force choice
// of each macroblock's type; rate-distortion decisions are its best form.
// Trellis quantisation is left to "-trellis 1": it took as long again for
// half a decibel on pictures already past 50 dB.
constexpr std::pair<const char*, const char*> kHighQuality[] = {
    {"mbd", "rd"},        // libavcodec's MPEG family: rate-distortion macroblock decisions
    {"preset", "slow"},   // libx264
    {"me_quality", "6"},  // libxvid
};

// Pictures written one per file have no bit rate to aim at: each gets a
// fixed high quality instead.
constexpr double kStillQuality = 2;

CodecContextPtr NewContext(const AVCodec* codec, const Options& options, const Container& container) {
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context) {
        Fail("Out of memory");
    }
    context->thread_count = options.threads;
    if (codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) {
        context->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    }
    if (container.format->flags & AVFMT_GLOBALHEADER) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    return context;
}

void PassLibavOptions(AVCodecContext* context, const Options& options) {
    for (const auto& [name, value] : options.libavOptions) {
        SetLibavOption(context, name, value);
    }
}

}  // namespace

std::unique_ptr<Encoder> OpenVideoEncoder(const VideoPlan& plan, const Options& options,
                                          const Container& container) {
    CodecContextPtr context = NewContext(plan.codec.encoder, options, container);
    const PictureGeometry& geometry = plan.geometry;
    context->width = geometry.frameWidth;
    context->height = geometry.frameHeight;
    context->pix_fmt = geometry.format;
    context->time_base = av_inv_q(plan.frameRate);
    context->framerate = plan.frameRate;
    context->sample_aspect_ratio = plan.sampleAspect;

    const double quality = options.qscale > 0 ? options.qscale : container.imageSequence ? kStillQuality : 0;
    if (quality > 0) {
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = static_cast<int>(FF_QP2LAMBDA * quality);
    } else if (options.videoBitRate > 0) {
        context->bit_rate = static_cast<int64_t>(options.videoBitRate);
    }
    context->rc_max_rate = static_cast<int64_t>(options.maxRate);
    context->rc_min_rate = static_cast<int64_t>(options.minRate);
    context->rc_buffer_size = static_cast<int>(std::min<double>(options.bufferSize, INT_MAX));
    if (options.gopSize >= 0) {
        context->gop_size = options.gopSize;
    }
    if (options.bFrames >= 0) {
        context->max_b_frames = options.bFrames;
    } else if (std::strcmp(container.format->name, "avi") == 0) {
        // AVI keeps no presentation times: players show pictures in the
        // order they are stored, so none may be stored ahead of its turn.
        context->max_b_frames = 0;
    }
    if (options.highQuality) {
        for (const auto& [name, value] : kHighQuality) {
            SetLibavOption(context.get(), name, value);
        }
    }
    if (!options.profile.empty()) {
        SetLibavOption(context.get(), "profile", options.profile);
    }
    if (!options.level.empty()) {
        SetLibavOption(context.get(), "level", options.level);
    }
    PassLibavOptions(context.get(), options);
    return std::make_unique<LibavEncoder>(std::move(context));
}

AudioEncoder OpenAudioEncoder(const AudioPlan& plan, const Options& options, const Container& container) {
    if (plan.codec.encoder == nullptr) {
        return OpenAmrEncoder(plan.codec.id, options.audioBitRate);
    }
    const AVCodec* codec = plan.codec.encoder;
    CodecContextPtr context = NewContext(codec, options, container);
    context->sample_rate = plan.sampleRate;
    av_channel_layout_default(&context->ch_layout, plan.channels);
    context->time_base = AVRational{1, plan.sampleRate};
    context->sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* format = codec->sample_fmts; format != nullptr && *format != AV_SAMPLE_FMT_NONE;
         ++format) {
        if (*format == AV_SAMPLE_FMT_S16 || *format == AV_SAMPLE_FMT_S16P) {
            context->sample_fmt = *format;  // the input's own samples, unconverted
            break;
        }
    }
    if (options.audioBitRate > 0) {
        context->bit_rate = static_cast<int64_t>(options.audioBitRate);
    }
    PassLibavOptions(context.get(), options);

    auto encoder = std::make_unique<LibavEncoder>(std::move(context));
    const AVCodecContext& opened = encoder->Context();
    EncoderSound input;
    input.sampleRate = opened.sample_rate;
    input.channels = opened.ch_layout.nb_channels;
    input.format = opened.sample_fmt;
    const bool anySize = opened.frame_size <= 0 || (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    input.frameSize = opened.frame_size > 0 ? opened.frame_size : 1024;
    input.wholeFrames = !anySize && !(codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
    return AudioEncoder{std::move(encoder), input};
}

}  // namespace castor
