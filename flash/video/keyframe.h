// Whether a VideoFrame's data decodes without the frames before it, read
// from each codec's own frame header.
#pragma once

#include "flash/video/video_stream.h"

#include <span>

namespace kinolux::video {

bool isKeyframe(VideoCodec codec, std::span<const std::uint8_t> data);

}  // namespace kinolux::video
