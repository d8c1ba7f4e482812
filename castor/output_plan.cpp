#include "castor/output_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "castor/failure.h"
#include "castor/frame_rate.h"
#include "castor/value_limits.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace castor {
namespace {

// The frame rates MPEG-1 and MPEG-2 players know. libavcodec's encoders
// also list unofficial ones (10, 12, 15 fps) that disc players refuse.
constexpr AVRational kMpegRates[] = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1},
                                     {50, 1},       {60000, 1001}, {60, 1}, {0, 0}};

std::string Size(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// The named codec, else the container's device default; nothing when the
// container carries no such stream unless asked.
std::optional<CodecChoice> ChooseCodec(const std::string& named, MediaKind kind,
                                       const Container& container, const std::string& outputPath) {
    const bool video = kind == MediaKind::Video;
    std::string message;
    CodecChoice choice;
    if (!IsAutoCodec(named)) {
        if (!FindCodec(named, kind, choice, message)) {
            Fail(message);
        }
        const int fits = avformat_query_codec(container.format, choice.id, FF_COMPLIANCE_NORMAL);
        if (fits == 0) {
            Fail("The " + std::string(container.format->name) + " format cannot hold " +
                 (video ? "video" : "audio") + " encoded with '" + named + "'");
        }
        return choice;
    }
    if (container.defaults != nullptr) {
        const char* name = video ? container.defaults->videoCodec : container.defaults->audioCodec;
        if (name == nullptr) {
            return std::nullopt;
        }
        if (!FindCodec(name, kind, choice, message)) {
            Fail(message);
        }
        return choice;
    }
    const AVCodecID id = av_guess_codec(container.format, nullptr, outputPath.c_str(), nullptr,
                                        video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO);
    const AVCodec* encoder = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_encoder(id);
    if (encoder == nullptr) {
        return std::nullopt;
    }
    choice.name = encoder->name;
    choice.id = id;
    choice.encoder = encoder;
    return choice;
}

bool Lists(const AVPixelFormat* list, AVPixelFormat format) {
    for (; list != nullptr && *list != AV_PIX_FMT_NONE; ++list) {
        if (*list == format) {
            return true;
        }
    }
    return false;
}

// Players of every kind decode 4:2:0, so lossy codecs get it wherever they
// take it; lossless ones keep as much of the input as they can.
AVPixelFormat ChoosePixelFormat(const AVCodec& encoder, const std::string& named, AVPixelFormat input) {
    const AVPixelFormat* list = encoder.pix_fmts;
    if (!named.empty()) {
        const AVPixelFormat format = av_get_pix_fmt(named.c_str());
        if (list != nullptr && !Lists(list, format)) {
            Fail("Encoder '" + std::string(encoder.name) + "' does not take the pixel format " + named);
        }
        return format;
    }
    if (encoder.id == AV_CODEC_ID_GIF) {
        return AV_PIX_FMT_PAL8;
    }
    if (list == nullptr) {
        return input;
    }
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(encoder.id);
    const bool lossless = descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_LOSSLESS) &&
                          !(descriptor->props & AV_CODEC_PROP_LOSSY);
    if (!lossless) {
        const bool jpeg = encoder.id == AV_CODEC_ID_MJPEG;
        const AVPixelFormat preferred[] = {jpeg ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P,
                                           jpeg ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUVJ420P};
        for (AVPixelFormat format : preferred) {
            if (Lists(list, format)) {
                return format;
            }
        }
    }
    return avcodec_find_best_pix_fmt_of_list(list, input, 0, nullptr);
}

PictureGeometry PlanGeometry(const Options& options, const SourceLayout& input) {
    PictureGeometry geometry;
    geometry.cropTop = options.cropTop;
    geometry.cropBottom = options.cropBottom;
    geometry.cropLeft = options.cropLeft;
    geometry.cropRight = options.cropRight;
    const int croppedWidth = input.width - options.cropLeft - options.cropRight;
    const int croppedHeight = input.height - options.cropTop - options.cropBottom;
    if (croppedWidth < 1 || croppedHeight < 1) {
        Fail("Cropping leaves nothing of the " + Size(input.width, input.height) + " picture");
    }
    geometry.pictureWidth = options.size.width > 0 ? options.size.width : croppedWidth;
    geometry.pictureHeight = options.size.height > 0 ? options.size.height : croppedHeight;
    geometry.padTop = options.padTop;
    geometry.padLeft = options.padLeft;
    geometry.frameWidth = geometry.pictureWidth + options.padLeft + options.padRight;
    geometry.frameHeight = geometry.pictureHeight + options.padTop + options.padBottom;
    if (geometry.frameWidth > kMaxEdge || geometry.frameHeight > kMaxEdge) {
        Fail("The padded frame " + Size(geometry.frameWidth, geometry.frameHeight) + " is too large");
    }
    geometry.padColor = options.padColor;
    return geometry;
}

AVRational PlanSampleAspect(const Options& options, const SourceLayout& input, const PictureGeometry& geometry) {
    if (options.aspect > 0) {
        return av_d2q(options.aspect * geometry.frameHeight / geometry.frameWidth, 255);
    }
    if (input.sampleAspect.num <= 0 || input.sampleAspect.den <= 0) {
        return AVRational{0, 1};
    }
    // Scaling keeps the picture's shape on screen.
    const double croppedWidth = input.width - geometry.cropLeft - geometry.cropRight;
    const double croppedHeight = input.height - geometry.cropTop - geometry.cropBottom;
    return av_d2q(av_q2d(input.sampleAspect) * croppedWidth * geometry.pictureHeight /
                      (croppedHeight * geometry.pictureWidth),
                  255);
}

VideoPlan PlanVideo(const CodecChoice& codec, const Options& options, const Container& container,
                    const SourceLayout& input) {
    VideoPlan plan;
    plan.codec = codec;
    plan.geometry = PlanGeometry(options, input);
    plan.geometry.format = ChoosePixelFormat(*codec.encoder, options.pixelFormat, input.pixelFormat);
    plan.frameRate = options.frameRate > 0 ? FrameRateFromNumber(options.frameRate) : input.frameRate;
    const bool mpeg = codec.id == AV_CODEC_ID_MPEG1VIDEO || codec.id == AV_CODEC_ID_MPEG2VIDEO;
    if (const AVRational* rates = mpeg ? kMpegRates : codec.encoder->supported_framerates) {
        plan.frameRate = rates[av_find_nearest_q_idx(plan.frameRate, rates)];
    }
    plan.sampleAspect = PlanSampleAspect(options, input, plan.geometry);
    if (!options.videoTag.empty()) {
        plan.codecTag = FourCC(options.videoTag);
    } else if (std::strcmp(container.format->name, "avi") == 0) {
        plan.codecTag = codec.aviTag;
    }
    return plan;
}

std::vector<int> SupportedRates(const CodecChoice& codec, const Container& container) {
    std::vector<int> rates;
    if (codec.encoder == nullptr) {
        rates.push_back(codec.id == AV_CODEC_ID_AMR_WB ? 16000 : 8000);
    } else if (codec.encoder->supported_samplerates != nullptr) {
        for (const int* rate = codec.encoder->supported_samplerates; *rate != 0; ++rate) {
            rates.push_back(*rate);
        }
    }
    const int* allowed = container.defaults != nullptr ? container.defaults->allowedRates : nullptr;
    if (allowed == nullptr) {
        return rates;
    }
    std::vector<int> both;
    for (const int* rate = allowed; *rate != 0; ++rate) {
        if (rates.empty() || std::find(rates.begin(), rates.end(), *rate) != rates.end()) {
            both.push_back(*rate);
        }
    }
    return both.empty() ? rates : both;
}

int Nearest(const std::vector<int>& values, int wanted) {
    int best = values.front();
    for (int value : values) {
        if (std::abs(value - wanted) < std::abs(best - wanted)) {
            best = value;
        }
    }
    return best;
}

AudioPlan PlanAudio(const CodecChoice& codec, const Options& options, const Container& container,
                    const SourceLayout& input) {
    AudioPlan plan;
    plan.codec = codec;
    const ContainerDefaults* defaults = container.defaults;
    plan.sampleRate = options.audioRate > 0                               ? options.audioRate
                      : defaults != nullptr && defaults->sampleRate > 0 ? defaults->sampleRate
                                                                        : input.sampleRate;
    const std::vector<int> rates = SupportedRates(codec, container);
    if (!rates.empty()) {
        plan.sampleRate = Nearest(rates, plan.sampleRate);
    }
    plan.channels = options.audioChannels > 0                             ? options.audioChannels
                    : defaults != nullptr && defaults->channels > 0 ? defaults->channels
                                                                    : input.channels;
    std::vector<int> counts;
    if (codec.encoder == nullptr) {
        counts.push_back(1);
    } else if (const AVChannelLayout* layouts = codec.encoder->ch_layouts) {
        for (; layouts->nb_channels != 0; ++layouts) {
            counts.push_back(layouts->nb_channels);
        }
    }
    if (!counts.empty()) {
        plan.channels = Nearest(counts, plan.channels);
    }
    plan.codecTag = FourCC(options.audioTag);
    return plan;
}

}  // namespace

OutputPlan PlanOutput(const Options& options, const Container& container, const SourceLayout& input) {
    OutputPlan plan;
    if (!options.noVideo && input.hasVideo) {
        if (auto codec = ChooseCodec(options.videoCodec, MediaKind::Video, container, options.output)) {
            plan.video = PlanVideo(*codec, options, container, input);
        }
    }
    if (!options.noAudio && input.hasAudio) {
        if (auto codec = ChooseCodec(options.audioCodec, MediaKind::Audio, container, options.output)) {
            plan.audio = PlanAudio(*codec, options, container, input);
        }
    }
    if (!plan.video && !plan.audio) {
        Fail("Nothing to encode: the " + std::string(container.format->name) +
             " output takes none of the input's streams");
    }
    return plan;
}

}  // namespace castor
