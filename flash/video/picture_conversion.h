// Decoded frames (YUV with or without alpha, or BGR) to the premultiplied
// 32-bit pictures the renderer draws.
#pragma once

#include "flash/video/video_stream.h"

#include <vector>

struct AVFrame;
struct SwsContext;

namespace kinolux::video {

class PictureConversion {
public:
    PictureConversion() = default;
    ~PictureConversion();
    PictureConversion(const PictureConversion&) = delete;
    PictureConversion& operator=(const PictureConversion&) = delete;

    // False when libswscale cannot convert the frame's pixel format.
    bool convert(const AVFrame& frame, VideoPicture& picture);

private:
    SwsContext* context_ = nullptr;  // kept while the frames keep their size and format
    std::vector<std::uint32_t> scratch_;  // rows of a padded width, as the converter writes them
};

}  // namespace kinolux::video
