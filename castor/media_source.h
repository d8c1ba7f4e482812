// What an input hands the rest of the encoding: decoded pictures and blocks
// of sound, each placed on the output timeline by its start time. The frame
// callback (frame_source.h) and files (file_source.h) are the two inputs.
#pragma once

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

namespace castor {

struct SourceLayout {
    bool hasVideo = false;
    int width = 0;  // the nominal picture size; single pictures may differ
    int height = 0;
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    AVRational frameRate{0, 1};
    AVRational sampleAspect{0, 1};  // 0/1 when unknown

    bool hasAudio = false;
    int sampleRate = 0;
    int channels = 0;
};

enum class ItemKind { Picture, Sound };

// One picture or one block of sound. The frame belongs to the source and
// stays valid until the next Read; it may not be reference-counted (the
// frame callback's buffers are borrowed), so whoever keeps it copies it.
struct SourceItem {
    ItemKind kind = ItemKind::Picture;
    const AVFrame* frame = nullptr;
    double start = 0;     // seconds on the output timeline
    double duration = 0;  // seconds; for a picture, until the next one is due
};

class MediaSource {
public:
    virtual ~MediaSource() = default;
    virtual const SourceLayout& Layout() const = 0;
    // The next item, or false at the end of the input. Throws Failure on
    // bad input.
    virtual bool Read(SourceItem& item) = 0;
    // The output has no use for this kind of item: stop producing (and
    // decoding) it. The layout then says the input has none.
    virtual void Ignore(ItemKind kind) = 0;
};

}  // namespace castor
