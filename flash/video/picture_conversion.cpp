#include "flash/video/picture_conversion.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace kinolux::video {

PictureConversion::~PictureConversion()
{
    sws_freeContext(context_);
}

bool PictureConversion::convert(const AVFrame& frame, VideoPicture& picture)
{
    const auto format = AVPixelFormat(frame.format);
    context_ = sws_getCachedContext(context_, frame.width, frame.height, format, frame.width, frame.height,
                                    AV_PIX_FMT_BGRA, SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                                    nullptr, nullptr, nullptr);
    if (!context_) return false;
    picture.width = frame.width;
    picture.height = frame.height;
    picture.pixels.resize(std::size_t(frame.width) * std::size_t(frame.height));
    std::uint8_t* planes[] = {reinterpret_cast<std::uint8_t*>(picture.pixels.data())};
    const int strides[] = {frame.width * 4};
    sws_scale(context_, frame.data, frame.linesize, 0, frame.height, planes, strides);

    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    if (descriptor && (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA)) {
        for (std::uint32_t& pixel : picture.pixels) {
            const std::uint32_t alpha = pixel >> 24;
            if (alpha == 255) continue;
            auto scaled = [&](unsigned shift) { return ((pixel >> shift & 0xFF) * alpha + 127) / 255 << shift; };
            pixel = alpha << 24 | scaled(16) | scaled(8) | scaled(0);
        }
    }
    return true;
}

}  // namespace kinolux::video
