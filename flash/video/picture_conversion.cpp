#include "flash/video/picture_conversion.h"

#include <algorithm>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace kinolux::video {

namespace {
constexpr std::size_t kRowAlignment = 16;  // pixels
}  // namespace

PictureConversion::~PictureConversion()
{
    sws_freeContext(context_);
}

bool PictureConversion::convert(const AVFrame& frame, VideoPicture& picture)
{
    const auto format = AVPixelFormat(frame.format);
    // The plain converter, as Flash converts: each chroma sample covers its
    // pixels unblended. libswscale's accurate rounding washes out strong
    // colours (a saturated green comes out a grayish one) in this version.
    context_ = sws_getCachedContext(context_, frame.width, frame.height, format, frame.width, frame.height,
                                    AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
    if (!context_) return false;
    // The vector converters write whole blocks of pixels, past the end of a
    // row whose width is no multiple of theirs: rows of a padded width and
    // a spare row take that, and the picture gets the rows without it.
    const std::size_t width = std::size_t(frame.width), height = std::size_t(frame.height);
    const std::size_t stride = (width + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    scratch_.resize(stride * (height + 1));
    std::uint8_t* planes[] = {reinterpret_cast<std::uint8_t*>(scratch_.data())};
    const int strides[] = {int(stride * 4)};
    sws_scale(context_, frame.data, frame.linesize, 0, frame.height, planes, strides);
    picture.width = frame.width;
    picture.height = frame.height;
    picture.pixels.resize(width * height);
    for (std::size_t y = 0; y < height; ++y)
        std::copy_n(scratch_.begin() + std::ptrdiff_t(y * stride), width, picture.pixels.begin() + std::ptrdiff_t(y * width));

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
