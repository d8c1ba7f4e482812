// Decodes one embedded video stream's VideoFrame tags into pictures.
//
// Frames are meant to arrive in order. A frame that goes back (or repeats)
// is decoded only when it is a keyframe, so looping to the start of a movie
// works and a stray old delta frame cannot smear the picture; otherwise,
// like a frame that fails to decode, it leaves the last picture showing.
// Frames skipped going forward are simply not shown: the next one decodes
// on the newest picture there is.
//
// Sorenson H.263 pictures are deblocked as the stream's setting, or else
// the picture's own header, asks.
#pragma once

#include "flash/video/picture_conversion.h"
#include "flash/video/video_stream.h"

#include <memory>
#include <span>
#include <string>

namespace kinolux::libav {
struct DecoderObjects;
}

namespace kinolux::video {

enum class FrameResult {
    Decoded,  // picture() is the new frame
    Kept,     // out of order: picture() still shows the last frame
    Failed,   // see lastMessage(); picture() still shows the last frame
};

class VideoDecoder {
public:
    explicit VideoDecoder(const VideoStreamInfo& info);
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Why the stream cannot be decoded at all (an unknown codec, say), or "".
    const std::string& error() const { return error_; }

    FrameResult decode(std::uint16_t frameNumber, std::span<const std::uint8_t> data);
    const VideoPicture& picture() const { return picture_; }
    const std::string& lastMessage() const { return message_; }

private:
    FrameResult fail(std::string message);

    VideoStreamInfo info_;
    std::string error_;
    std::string message_;
    std::unique_ptr<libav::DecoderObjects> av_;  // libav stays out of this header
    PictureConversion conversion_;
    VideoPicture picture_;
    bool anyDecoded_ = false;
    std::uint16_t lastFrame_ = 0;
};

}  // namespace kinolux::video
