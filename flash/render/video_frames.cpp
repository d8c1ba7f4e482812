#include "flash/render/video_frames.h"

#include "flash/video/keyframe.h"
#include "flash/video/video_decoder.h"

namespace flash::render {

struct VideoFrames::Stream {
    std::unique_ptr<kinolux::video::VideoDecoder> decoder;
    int shown = -1;  // frame number on show
    bool used = true;
    QImage image;
};

VideoFrames::VideoFrames() = default;
VideoFrames::~VideoFrames() = default;

const QImage* VideoFrames::picture(const DisplayObject& video) {
    const Character* c = video.character();
    const auto* def = c ? c->as<swf::DefineVideoStream>() : nullptr;
    if (!def || c->videoFrames.empty()) return nullptr;
    auto& slot = streams_[video.instanceId()];
    if (!slot) slot = std::make_unique<Stream>();
    Stream& s = *slot;
    s.used = true;
    const int wanted = video.ratio;
    if (wanted == s.shown) return s.image.isNull() ? nullptr : &s.image;
    kinolux::video::VideoStreamInfo info;
    info.codec = kinolux::video::VideoCodec(def->codec);
    info.width = def->width;
    info.height = def->height;
    info.deblocking = def->deblocking;
    info.smoothing = def->smoothing;
    // Going back starts again from the nearest keyframe at or before the target.
    int from = s.shown + 1;
    if (!s.decoder || wanted < s.shown) {
        s.decoder = std::make_unique<kinolux::video::VideoDecoder>(info);
        from = 0;
        for (auto it = c->videoFrames.upper_bound(std::uint16_t(wanted)); it != c->videoFrames.begin();) {
            --it;
            if (kinolux::video::isKeyframe(info.codec, it->second)) {
                from = it->first;
                break;
            }
        }
    }
    if (!s.decoder->error().empty()) return nullptr;
    bool decoded = false;
    for (auto it = c->videoFrames.lower_bound(std::uint16_t(std::max(0, from))); it != c->videoFrames.end() && it->first <= wanted; ++it)
        decoded |= s.decoder->decode(it->first, it->second) == kinolux::video::FrameResult::Decoded;
    s.shown = wanted;
    const auto& pic = s.decoder->picture();
    if (decoded && pic.width > 0 && pic.height > 0 &&
        pic.pixels.size() >= std::size_t(pic.width) * std::size_t(pic.height))
        s.image = QImage(reinterpret_cast<const uchar*>(pic.pixels.data()), pic.width, pic.height, pic.width * 4,
                         QImage::Format_ARGB32_Premultiplied)
                      .copy();
    return s.image.isNull() ? nullptr : &s.image;
}

void VideoFrames::sweep() {
    for (auto it = streams_.begin(); it != streams_.end();) {
        if (!it->second->used)
            it = streams_.erase(it);
        else {
            it->second->used = false;
            ++it;
        }
    }
}

}  // namespace flash::render
