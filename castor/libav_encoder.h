// A libavcodec encoder behind the Encoder interface.
#pragma once

#include "castor/encoder.h"
#include "castor/libav_handles.h"

namespace castor {

class LibavEncoder : public Encoder {
public:
    // Takes a context that is set up but not yet open, and opens it.
    // Throws Failure with libav's reason when the encoder refuses it.
    explicit LibavEncoder(CodecContextPtr context);

    void Send(const AVFrame* frame) override;
    bool Receive(AVPacket& packet) override;
    AVRational TimeBase() const override { return context_->time_base; }
    void CopyParameters(AVCodecParameters& parameters) const override;

    const AVCodecContext& Context() const { return *context_; }

private:
    CodecContextPtr context_;
};

}  // namespace castor
