// Any file libavformat reads (the lossless AVI of the two-compression mode,
// or whatever the castor tool is given): its best video and audio streams,
// decoded, with times measured from the file's start.
#pragma once

#include <string>

#include "castor/libav_handles.h"
#include "castor/media_source.h"

namespace castor {

class FileSource : public MediaSource {
public:
    // Opens and probes the file; throws Failure when it cannot be read.
    explicit FileSource(const std::string& path);

    const SourceLayout& Layout() const override { return layout_; }
    bool Read(SourceItem& item) override;
    void Ignore(ItemKind kind) override;

private:
    struct Stream {
        int index = -1;
        CodecContextPtr decoder;
        AVRational timeBase{0, 1};
        double nextStart = 0;  // where a frame without a time stamp goes
        bool flushed = false;
        bool finished = false;
    };

    void OpenDecoder(Stream& stream, AVMediaType type);
    bool ReceiveFrame(Stream& stream, SourceItem& item);
    bool Drain(SourceItem& item);

    std::string path_;
    InputContextPtr input_;
    SourceLayout layout_;
    Stream video_;
    Stream audio_;
    Stream* ready_ = nullptr;  // the decoder that was last fed
    FramePtr frame_;
    PacketPtr packet_;
    double origin_ = 0;
    bool endOfFile_ = false;
};

}  // namespace castor
