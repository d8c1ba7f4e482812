// Turns each input picture into a frame for the video encoder: cropped,
// scaled to the picture size, placed on a frame of the padding colour, and
// converted to the encoder's pixel format (for GIF, a palette of its own).
#pragma once

#include <cstdint>

#include "castor/libav_handles.h"

namespace castor {

struct PictureGeometry {
    int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;
    int pictureWidth = 0, pictureHeight = 0;  // after scaling, before padding
    int padTop = 0, padLeft = 0;              // where the picture sits in the frame
    int frameWidth = 0, frameHeight = 0;      // the whole encoded frame
    uint32_t padColor = 0;                    // 0xRRGGBB
    AVPixelFormat format = AV_PIX_FMT_NONE;   // the encoder's
};

class VideoFilter {
public:
    explicit VideoFilter(const PictureGeometry& geometry);

    // A new reference-counted frame; the input picture may be released
    // afterwards. Throws Failure when the crop leaves nothing of it.
    FramePtr Convert(const AVFrame& picture);

private:
    FramePtr NewOutputFrame() const;
    void PaintBackground(AVFrame& frame);

    PictureGeometry geometry_;
    AVPixelFormat stageFormat_;  // what swscale writes: the encoder's, or RGB24 before a palette
    ScalerPtr scaler_;
    FramePtr background_;  // the whole frame in the padding colour, when there is padding
};

}  // namespace castor
