// The three libavcodec objects a sound or video decoder works with: the
// codec context, one packet and one frame, made together and freed
// together.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace kinolux::libav {

struct DecoderObjects {
    DecoderObjects() = default;
    ~DecoderObjects() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&context);
    }
    DecoderObjects(const DecoderObjects&) = delete;
    DecoderObjects& operator=(const DecoderObjects&) = delete;

    // Makes the three for `codec`; false when memory ran out.
    bool make(const AVCodec* codec) {
        context = avcodec_alloc_context3(codec);
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        return context && packet && frame;
    }

    AVCodecContext* context = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
};

}  // namespace kinolux::libav
