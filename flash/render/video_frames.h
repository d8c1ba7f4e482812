// Pictures of the video objects on stage: each object's stream decoded up
// to the frame its placement's ratio asks for.
#pragma once

#include <QImage>
#include <memory>
#include <unordered_map>

#include "flash/core/display_object.h"

namespace kinolux::video {
class VideoDecoder;
}

namespace flash::render {

class VideoFrames {
public:
    VideoFrames();
    ~VideoFrames();
    // The picture to show for a video object now; null when there is none.
    const QImage* picture(const DisplayObject& video);
    // Forgets decoders of objects that were not asked for since the last call.
    void sweep();

private:
    struct Stream;
    std::unordered_map<std::uint64_t, std::unique_ptr<Stream>> streams_;
};

}  // namespace flash::render
