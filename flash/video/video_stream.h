// Embedded video of SWF (DefineVideoStream, VideoFrame) as plain data, and
// the picture a decoder hands the renderer.
#pragma once

#include <cstdint>
#include <vector>

namespace kinolux::video {

enum class VideoCodec : std::uint8_t {
    SorensonH263 = 2,
    ScreenVideo = 3,
    Vp6 = 4,
    Vp6Alpha = 5,
    ScreenVideo2 = 6,
};

// The fields of DefineVideoStream that decoding needs.
struct VideoStreamInfo {
    VideoCodec codec = VideoCodec::SorensonH263;  // any byte may arrive from a file
    std::uint16_t width = 0, height = 0;         // the size the movie shows the video at
    std::uint8_t deblocking = 0;                 // 0: as each picture asks, 1: off, 2 and up: on
    bool smoothing = false;                      // for the renderer: scale smoothly
};

// 32-bit premultiplied ARGB in native byte order, rows top to bottom with no
// padding: the layout of QImage::Format_ARGB32_Premultiplied. Its size is the
// decoded frame's; the renderer scales it to the stream's size.
struct VideoPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

}  // namespace kinolux::video
