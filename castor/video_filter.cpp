#include "castor/video_filter.h"

#include <string>
#include <vector>

#include "castor/failure.h"
#include "castor/gif_palette.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

namespace castor {
namespace {

struct PlaneOffsets {
    int left = 0;
    int top = 0;
};

// Moves every plane pointer of a frame view by (left, top) pixels, rounded
// down to what the format's chroma subsampling allows; returns the offset
// that was applied.
PlaneOffsets ShiftPlanes(uint8_t* data[4], const int linesize[4], AVPixelFormat format, int left,
                         int top) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    int steps[4] = {};
    av_image_fill_max_pixsteps(steps, nullptr, descriptor);
    const int xAlign = (1 << descriptor->log2_chroma_w) * ((descriptor->flags & AV_PIX_FMT_FLAG_BITSTREAM) ? 8 : 1);
    const int yAlign = 1 << descriptor->log2_chroma_h;
    PlaneOffsets applied{left / xAlign * xAlign, top / yAlign * yAlign};
    const bool palette = descriptor->flags & AV_PIX_FMT_FLAG_PAL;
    for (int plane = 0; plane < 4 && data[plane] != nullptr; ++plane) {
        if (palette && plane == 1) {
            break;
        }
        const bool chroma = plane == 1 || plane == 2;
        const int x = chroma ? applied.left >> descriptor->log2_chroma_w : applied.left;
        const int y = chroma ? applied.top >> descriptor->log2_chroma_h : applied.top;
        const int bytes = (descriptor->flags & AV_PIX_FMT_FLAG_BITSTREAM) ? x / 8 : x * steps[plane];
        data[plane] += static_cast<ptrdiff_t>(y) * linesize[plane] + bytes;
    }
    return applied;
}

}  // namespace

VideoFilter::VideoFilter(const PictureGeometry& geometry)
    : geometry_(geometry),
      stageFormat_(geometry.format == AV_PIX_FMT_PAL8 ? AV_PIX_FMT_RGB24 : geometry.format) {
    const bool padded = geometry.pictureWidth != geometry.frameWidth ||
                        geometry.pictureHeight != geometry.frameHeight;
    if (padded) {
        background_ = NewOutputFrame();
        PaintBackground(*background_);
    }
}

FramePtr VideoFilter::NewOutputFrame() const {
    return NewPicture(stageFormat_, geometry_.frameWidth, geometry_.frameHeight);
}

void VideoFilter::PaintBackground(AVFrame& frame) {
    // One conversion of a plain picture in the padding colour gives the
    // right values in any pixel format.
    const int width = geometry_.frameWidth, height = geometry_.frameHeight;
    std::vector<uint8_t> plain(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < plain.size(); i += 3) {
        plain[i + 0] = static_cast<uint8_t>(geometry_.padColor >> 16);
        plain[i + 1] = static_cast<uint8_t>(geometry_.padColor >> 8);
        plain[i + 2] = static_cast<uint8_t>(geometry_.padColor);
    }
    ScalerPtr scaler(sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, stageFormat_,
                                    SWS_POINT, nullptr, nullptr, nullptr));
    if (!scaler) {
        Fail("Could not convert pictures to the pixel format " +
             std::string(av_get_pix_fmt_name(stageFormat_)));
    }
    const uint8_t* source[4] = {plain.data(), nullptr, nullptr, nullptr};
    const int stride[4] = {width * 3, 0, 0, 0};
    sws_scale(scaler.get(), source, stride, 0, height, frame.data, frame.linesize);
}

FramePtr VideoFilter::Convert(const AVFrame& picture) {
    const auto format = static_cast<AVPixelFormat>(picture.format);
    uint8_t* source[4] = {picture.data[0], picture.data[1], picture.data[2], picture.data[3]};
    const PlaneOffsets crop =
        ShiftPlanes(source, picture.linesize, format, geometry_.cropLeft, geometry_.cropTop);
    const int width = picture.width - crop.left - geometry_.cropRight;
    const int height = picture.height - crop.top - geometry_.cropBottom;
    if (width < 1 || height < 1) {
        Fail("Cropping leaves nothing of a " + std::to_string(picture.width) + "x" +
             std::to_string(picture.height) + " picture");
    }

    scaler_.reset(sws_getCachedContext(scaler_.release(), width, height, format,
                                       geometry_.pictureWidth, geometry_.pictureHeight, stageFormat_,
                                       SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler_) {
        Fail("Could not convert " + std::string(av_get_pix_fmt_name(format)) + " pictures to " +
             av_get_pix_fmt_name(stageFormat_));
    }

    FramePtr frame = NewOutputFrame();
    if (background_) {
        Check(av_frame_copy(frame.get(), background_.get()), "Could not pad a picture");
    }
    uint8_t* target[4] = {frame->data[0], frame->data[1], frame->data[2], frame->data[3]};
    ShiftPlanes(target, frame->linesize, stageFormat_, geometry_.padLeft, geometry_.padTop);
    sws_scale(scaler_.get(), source, picture.linesize, 0, height, target, frame->linesize);

    if (geometry_.format == AV_PIX_FMT_PAL8) {
        frame = QuantizeToPalette(*frame);
    }
    return frame;
}

}  // namespace castor
