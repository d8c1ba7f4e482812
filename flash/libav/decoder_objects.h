// The three libavcodec objects a sound or video decoder works with: the
// codec context, one packet and one frame, made together and freed
// together.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

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

    // Makes the three and opens `codec` on one thread, after `configure`
    // has set the context up; why it failed ("" when it did not), naming
    // the codec as `name`. One thread keeps the frames coming out in step
    // with the packets, as the player asks for them.
    template <class Configure>
    std::string open(const AVCodec* codec, const std::string& name, Configure configure) {
        context = avcodec_alloc_context3(codec);
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!context || !packet || !frame) return "out of memory for a " + name + " decoder";
        context->thread_count = 1;
        configure(*context);
        if (avcodec_open2(context, codec, nullptr) < 0) return "cannot open the " + name + " decoder";
        return {};
    }

    // Sends a copy of `data` as one packet, or the end of the stream when
    // it is empty; what avcodec_send_packet says, or AVERROR(ENOMEM) when
    // there was no memory for the copy.
    int send(std::span<const std::uint8_t> data) {
        if (data.empty()) return avcodec_send_packet(context, nullptr);
        if (av_new_packet(packet, int(data.size())) < 0) return AVERROR(ENOMEM);
        std::copy(data.begin(), data.end(), packet->data);
        const int sent = avcodec_send_packet(context, packet);
        av_packet_unref(packet);
        return sent;
    }

    AVCodecContext* context = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
};

}  // namespace kinolux::libav
