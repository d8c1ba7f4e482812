// An encoder run on a thread of its own: the caller hands it a picture and
// goes on making the next one (the movie's drawing, the colour conversion)
// while this one is encoded, so that the two halves of a conversion share
// the machine's cores. Frames are queued as references; packets come back
// in the order the encoder made them.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "castor/encoder.h"
#include "castor/libav_handles.h"

namespace castor {

class ThreadedEncoder : public Encoder {
public:
    // At most `queued` frames wait for the encoder; a Send beyond that
    // waits, so memory stays bounded by a few pictures.
    explicit ThreadedEncoder(std::unique_ptr<Encoder> encoder, size_t queued = 2);
    ~ThreadedEncoder() override;
    ThreadedEncoder(const ThreadedEncoder&) = delete;
    ThreadedEncoder& operator=(const ThreadedEncoder&) = delete;

    // A failure of the encoder on its thread is thrown by the next Send or
    // Receive.
    void Send(const AVFrame* frame) override;
    // After Send(nullptr) this waits until the encoder has given its last
    // packet; otherwise it takes only what is ready.
    bool Receive(AVPacket& packet) override;
    AVRational TimeBase() const override { return encoder_->TimeBase(); }
    void CopyParameters(AVCodecParameters& parameters) const override { encoder_->CopyParameters(parameters); }

private:
    void Work();
    void ThrowFailure();  // with mutex_ held

    std::unique_ptr<Encoder> encoder_;
    const size_t queued_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<FramePtr> frames_;  // a null frame: the end
    std::deque<PacketPtr> packets_;
    bool endSent_ = false;
    bool drained_ = false;  // the encoder has given everything after the end
    bool closing_ = false;
    std::string failure_;
    std::thread thread_;
};

}  // namespace castor
