// An encoder takes frames and gives packets. libav's encoders
// (libav_encoder.h) and castor's own AMR encoders (amr_encoder.h) both fit.
#pragma once

#include <memory>

#include "castor/audio_filter.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace castor {

class Encoder {
public:
    virtual ~Encoder() = default;
    // One frame, stamped in TimeBase(); null says that none follows. Throws
    // Failure when the encoder refuses it.
    virtual void Send(const AVFrame* frame) = 0;
    // The next packet that is ready, stamped in TimeBase(); false when
    // none is.
    virtual bool Receive(AVPacket& packet) = 0;
    virtual AVRational TimeBase() const = 0;
    // What the muxer needs to know about the stream.
    virtual void CopyParameters(AVCodecParameters& parameters) const = 0;
};

struct AudioEncoder {
    std::unique_ptr<Encoder> encoder;
    EncoderSound input;  // the frames it takes
};

}  // namespace castor
