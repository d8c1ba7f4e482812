#include "castor/amr_encoder.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "castor/failure.h"

extern "C" {
#include <opencore-amrnb/interf_enc.h>
#include <vo-amrwbenc/enc_if.h>
#include <libavutil/channel_layout.h>
}

namespace castor {
namespace {

constexpr int kNarrowRates[] = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};
constexpr int kWideRates[] = {6600, 8850, 12650, 14250, 15850, 18250, 19850, 23050, 23850};
constexpr int kMaxFrameBytes = 64;  // a 23.85 kbit/s wide-band frame is 61

int ModeFor(std::span<const int> rates, double bitRate) {
    if (bitRate <= 0) {
        return static_cast<int>(rates.size()) - 1;
    }
    int mode = 0;
    for (size_t i = 0; i < rates.size(); ++i) {
        if (rates[i] <= bitRate) {
            mode = static_cast<int>(i);
        }
    }
    return mode;
}

class AmrEncoder : public Encoder {
public:
    AmrEncoder(AVCodecID id, double bitRate)
        : wide_(id == AV_CODEC_ID_AMR_WB), packet_(NewPacket()) {
        const std::span<const int> rates = wide_ ? std::span<const int>(kWideRates)
                                                 : std::span<const int>(kNarrowRates);
        mode_ = ModeFor(rates, bitRate);
        bitRate_ = rates[mode_];
        state_ = wide_ ? E_IF_init() : Encoder_Interface_init(0);
        if (state_ == nullptr) {
            Fail(wide_ ? "Could not open encoder 'amr_wb'" : "Could not open encoder 'amr_nb'");
        }
    }

    ~AmrEncoder() override {
        if (wide_) {
            E_IF_exit(state_);
        } else {
            Encoder_Interface_exit(state_);
        }
    }

    AmrEncoder(const AmrEncoder&) = delete;
    AmrEncoder& operator=(const AmrEncoder&) = delete;

    int SampleRate() const { return wide_ ? 16000 : 8000; }
    int FrameSize() const { return wide_ ? 320 : 160; }

    void Send(const AVFrame* frame) override {
        if (frame == nullptr) {
            return;  // nothing is held back
        }
        uint8_t bits[kMaxFrameBytes];
        const auto* speech = reinterpret_cast<const short*>(frame->data[0]);
        const int bytes = wide_ ? E_IF_encode(state_, mode_, speech, bits, 0)
                                : Encoder_Interface_Encode(state_, static_cast<Mode>(mode_), speech, bits, 0);
        if (bytes <= 0 || bytes > kMaxFrameBytes) {
            Fail(wide_ ? "Encoder 'amr_wb' failed" : "Encoder 'amr_nb' failed");
        }
        av_packet_unref(packet_.get());
        Check(av_new_packet(packet_.get(), bytes), "Out of memory");
        std::copy(bits, bits + bytes, packet_->data);
        packet_->pts = packet_->dts = frame->pts;
        packet_->duration = FrameSize();
        ready_ = true;
    }

    bool Receive(AVPacket& packet) override {
        if (!ready_) {
            return false;
        }
        ready_ = false;
        av_packet_move_ref(&packet, packet_.get());
        return true;
    }

    AVRational TimeBase() const override { return AVRational{1, SampleRate()}; }

    void CopyParameters(AVCodecParameters& parameters) const override {
        parameters.codec_type = AVMEDIA_TYPE_AUDIO;
        parameters.codec_id = wide_ ? AV_CODEC_ID_AMR_WB : AV_CODEC_ID_AMR_NB;
        parameters.format = AV_SAMPLE_FMT_S16;
        parameters.sample_rate = SampleRate();
        av_channel_layout_uninit(&parameters.ch_layout);
        parameters.ch_layout = AV_CHANNEL_LAYOUT_MONO;
        parameters.frame_size = FrameSize();
        parameters.bit_rate = bitRate_;
    }

private:
    bool wide_;
    int mode_ = 0;
    int bitRate_ = 0;
    void* state_ = nullptr;
    PacketPtr packet_;
    bool ready_ = false;
};

}  // namespace

AudioEncoder OpenAmrEncoder(AVCodecID id, double bitRate) {
    auto encoder = std::make_unique<AmrEncoder>(id, bitRate);
    EncoderSound input;
    input.sampleRate = encoder->SampleRate();
    input.channels = 1;
    input.format = AV_SAMPLE_FMT_S16;
    input.frameSize = encoder->FrameSize();
    input.wholeFrames = true;
    return AudioEncoder{std::move(encoder), input};
}

}  // namespace castor
