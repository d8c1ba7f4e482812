#include "joiner/stream_coding.h"

#include <cmath>
#include <iterator>

namespace joiner {

uint8_t CodingTypeOf(AVCodecID codec) {
    switch (codec) {
        case AV_CODEC_ID_MPEG1VIDEO: return 0x01;
        case AV_CODEC_ID_MPEG2VIDEO: return 0x02;
        case AV_CODEC_ID_H264: return 0x1b;
        case AV_CODEC_ID_VC1: return 0xea;
        case AV_CODEC_ID_HEVC: return 0x24;
        case AV_CODEC_ID_MP1:
        case AV_CODEC_ID_MP2: return 0x03;
        case AV_CODEC_ID_PCM_BLURAY: return 0x80;
        case AV_CODEC_ID_AC3: return 0x81;
        case AV_CODEC_ID_DTS: return 0x82;
        case AV_CODEC_ID_TRUEHD: return 0x83;
        case AV_CODEC_ID_EAC3: return 0x84;
        default: return 0;
    }
}

namespace {

// The disc names a picture by its height and scan: the nearest standard
// one is taken for any other size.
uint8_t VideoFormatCode(int height, bool interlaced) {
    if (height <= 480) return interlaced ? 1 : 3;
    if (height <= 576) return interlaced ? 2 : 7;
    if (height <= 720) return 5;
    return interlaced ? 4 : 6;
}

uint8_t FrameRateCode(AVRational rate) {
    struct Code {
        double fps;
        uint8_t code;
    };
    static constexpr Code kCodes[] = {{24000.0 / 1001, 1}, {24, 2},          {25, 3},
                                      {30000.0 / 1001, 4}, {50, 6},          {60000.0 / 1001, 7}};
    const double fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 25;
    const Code* nearest = std::begin(kCodes);
    for (const Code& code : kCodes)
        if (std::fabs(code.fps - fps) < std::fabs(nearest->fps - fps)) nearest = &code;
    return nearest->code;
}

}  // namespace

void DescribeVideo(const AVCodecParameters& parameters, AVRational frameRate, ClipStream& stream) {
    stream.video = true;
    const bool interlaced = parameters.field_order != AV_FIELD_PROGRESSIVE && parameters.field_order != AV_FIELD_UNKNOWN;
    stream.videoFormat = VideoFormatCode(parameters.height, interlaced);
    stream.frameRate = FrameRateCode(frameRate);
    AVRational aspect = parameters.sample_aspect_ratio;
    if (aspect.num <= 0 || aspect.den <= 0) aspect = AVRational{1, 1};
    const double shape = parameters.height > 0 ? double(parameters.width) * av_q2d(aspect) / parameters.height : 16.0 / 9;
    stream.aspect = shape < (4.0 / 3 + 16.0 / 9) / 2 ? 2 : 3;
}

void DescribeAudio(const AVCodecParameters& parameters, ClipStream& stream) {
    const int channels = parameters.ch_layout.nb_channels;
    stream.audioFormat = channels <= 1 ? 1 : channels == 2 ? 3 : 6;
    stream.sampleRate = parameters.sample_rate >= 192000 ? 5 : parameters.sample_rate >= 96000 ? 4 : 1;
}

}  // namespace joiner
