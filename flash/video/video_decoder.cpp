#include "flash/video/video_decoder.h"

#include "flash/video/deblocking_filter.h"
#include "flash/video/h263_header.h"
#include "flash/video/keyframe.h"

#include <optional>

#include "flash/libav/decoder_objects.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixdesc.h>
}

namespace kinolux::video {

namespace {

// Far beyond anything Flash played (its largest video was 2880 pixels
// wide), yet a hostile header cannot ask for gigabytes.
constexpr std::int64_t kMaxPixels = 4096 * 4096;

const AVCodec* findCodec(VideoCodec codec)
{
    switch (codec) {
    case VideoCodec::SorensonH263:
        return avcodec_find_decoder(AV_CODEC_ID_FLV1);
    case VideoCodec::ScreenVideo:
        return avcodec_find_decoder(AV_CODEC_ID_FLASHSV);
    case VideoCodec::Vp6:
        return avcodec_find_decoder(AV_CODEC_ID_VP6F);
    case VideoCodec::Vp6Alpha:
        return avcodec_find_decoder(AV_CODEC_ID_VP6A);
    case VideoCodec::ScreenVideo2:
        return avcodec_find_decoder(AV_CODEC_ID_FLASHSV2);
    }
    return nullptr;
}

std::string codecName(VideoCodec codec)
{
    switch (codec) {
    case VideoCodec::SorensonH263: return "Sorenson H.263";
    case VideoCodec::ScreenVideo: return "Screen Video";
    case VideoCodec::Vp6: return "VP6";
    case VideoCodec::Vp6Alpha: return "VP6 with alpha";
    case VideoCodec::ScreenVideo2: return "Screen Video 2";
    }
    return "video codec " + std::to_string(unsigned(codec));
}

// The stream's deblocking setting: 0 leaves it to each picture's own flag,
// 1 turns it off, and the higher levels turn it on (those above 2 ask for
// more only of VP6).
constexpr std::uint8_t kDeblockingFromPicture = 0, kDeblockingOff = 1;

// Filters the shown copy of a decoded picture; the decoder keeps its own
// reference unfiltered. Out of memory, the picture shows unfiltered.
void deblockFrame(AVFrame& frame, unsigned quantizer)
{
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    if (!descriptor || (descriptor->flags & AV_PIX_FMT_FLAG_RGB) || av_frame_make_writable(&frame) < 0) return;
    for (int plane = 0; plane < 3 && frame.data[plane]; ++plane) {
        const int width = plane ? AV_CEIL_RSHIFT(frame.width, descriptor->log2_chroma_w) : frame.width;
        const int height = plane ? AV_CEIL_RSHIFT(frame.height, descriptor->log2_chroma_h) : frame.height;
        deblockPlane(frame.data[plane], width, height, frame.linesize[plane], quantizer);
    }
}

}  // namespace

VideoDecoder::VideoDecoder(const VideoStreamInfo& info) : info_(info), av_(std::make_unique<libav::DecoderObjects>())
{
    const AVCodec* codec = findCodec(info.codec);
    if (!codec) {
        error_ = codecName(info.codec) + " video cannot be decoded by this FFmpeg";
        return;
    }
    error_ = av_->open(codec, codecName(info.codec), [&](AVCodecContext& context) {
        // VP6 codes whole 16-pixel blocks; given the stream's size the
        // decoder crops to it when the coded size is that size rounded up.
        if (info.codec == VideoCodec::Vp6 || info.codec == VideoCodec::Vp6Alpha) {
            context.width = info.width;
            context.height = info.height;
        }
        context.flags |= AV_CODEC_FLAG_LOW_DELAY;
        context.max_pixels = kMaxPixels;
    });
}

VideoDecoder::~VideoDecoder() = default;

FrameResult VideoDecoder::fail(std::string message)
{
    message_ = std::move(message);
    return FrameResult::Failed;
}

FrameResult VideoDecoder::decode(std::uint16_t frameNumber, std::span<const std::uint8_t> data)
{
    message_.clear();
    if (!error_.empty()) return fail(error_);
    if (data.empty()) return fail("empty video frame " + std::to_string(frameNumber));
    if (anyDecoded_ && frameNumber <= lastFrame_ && (frameNumber == lastFrame_ || !isKeyframe(info_.codec, data)))
        return FrameResult::Kept;

    std::optional<unsigned> deblockingQuantizer;
    if (info_.codec == VideoCodec::SorensonH263 && info_.deblocking != kDeblockingOff) {
        const auto header = readH263PictureHeader(data);
        if (header && (header->deblocking || info_.deblocking != kDeblockingFromPicture))
            deblockingQuantizer = header->quantizer;
    }

    const int sent = av_->send(data);
    if (sent == AVERROR(ENOMEM)) return fail("out of memory for video frame");
    if (sent < 0) return fail("damaged " + codecName(info_.codec) + " video frame " + std::to_string(frameNumber));
    bool got = false;
    while (avcodec_receive_frame(av_->context, av_->frame) == 0) {
        if (deblockingQuantizer) deblockFrame(*av_->frame, *deblockingQuantizer);
        got = conversion_.convert(*av_->frame, picture_) || got;
        av_frame_unref(av_->frame);
    }
    if (!got) return fail(codecName(info_.codec) + " video frame " + std::to_string(frameNumber) + " gave no picture");
    anyDecoded_ = true;
    lastFrame_ = frameNumber;
    return FrameResult::Decoded;
}

}  // namespace kinolux::video
