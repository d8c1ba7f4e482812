#include "castor/libav_encoder.h"

#include <string>

#include "castor/failure.h"

namespace castor {

LibavEncoder::LibavEncoder(CodecContextPtr context) : context_(std::move(context)) {
    Check(avcodec_open2(context_.get(), context_->codec, nullptr),
          std::string("Could not open encoder '") + context_->codec->name + "'");
}

void LibavEncoder::Send(const AVFrame* frame) {
    const int status = avcodec_send_frame(context_.get(), frame);
    if (status == AVERROR_EOF && frame == nullptr) {
        return;  // already told
    }
    Check(status, std::string("Encoder '") + context_->codec->name + "' failed");
}

bool LibavEncoder::Receive(AVPacket& packet) {
    const int status = avcodec_receive_packet(context_.get(), &packet);
    if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) {
        return false;
    }
    Check(status, std::string("Encoder '") + context_->codec->name + "' failed");
    return true;
}

void LibavEncoder::CopyParameters(AVCodecParameters& parameters) const {
    Check(avcodec_parameters_from_context(&parameters, context_.get()), "Out of memory");
}

}  // namespace castor
