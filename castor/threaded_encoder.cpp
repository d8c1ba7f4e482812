#include "castor/threaded_encoder.h"

#include "castor/failure.h"
#include "castor/libav_log.h"

namespace castor {

ThreadedEncoder::ThreadedEncoder(std::unique_ptr<Encoder> encoder, size_t queued)
    : encoder_(std::move(encoder)), queued_(queued == 0 ? 1 : queued), thread_([this] { Work(); }) {}

ThreadedEncoder::~ThreadedEncoder() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ThreadedEncoder::ThrowFailure() {
    if (!failure_.empty()) {
        Fail(failure_);
    }
}

void ThreadedEncoder::Send(const AVFrame* frame) {
    FramePtr copy;
    if (frame != nullptr) {
        copy.reset(av_frame_clone(frame));
        if (!copy) {
            Fail("Out of memory");
        }
    }
    std::unique_lock lock(mutex_);
    ThrowFailure();
    if (endSent_) {
        return;  // already told
    }
    changed_.wait(lock, [this] { return frames_.size() < queued_ || !failure_.empty(); });
    ThrowFailure();
    endSent_ = frame == nullptr;
    frames_.push_back(std::move(copy));
    changed_.notify_all();
}

bool ThreadedEncoder::Receive(AVPacket& packet) {
    std::unique_lock lock(mutex_);
    if (endSent_) {
        changed_.wait(lock, [this] { return !packets_.empty() || drained_ || !failure_.empty(); });
    }
    if (packets_.empty()) {
        ThrowFailure();
        return false;
    }
    av_packet_unref(&packet);
    av_packet_move_ref(&packet, packets_.front().get());
    packets_.pop_front();
    return true;
}

void ThreadedEncoder::Work() {
    // libav's errors on this thread name what the encoder objected to.
    LibavLogScope scope;
    PacketPtr packet(av_packet_alloc());
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !frames_.empty() || closing_; });
        if (frames_.empty()) {
            return;
        }
        FramePtr frame = std::move(frames_.front());
        frames_.pop_front();
        changed_.notify_all();
        lock.unlock();
        std::string failure;
        std::deque<PacketPtr> made;
        try {
            if (!packet) {
                Fail("Out of memory");
            }
            encoder_->Send(frame.get());
            while (encoder_->Receive(*packet)) {
                PacketPtr out(av_packet_alloc());
                if (!out) {
                    Fail("Out of memory");
                }
                av_packet_move_ref(out.get(), packet.get());
                made.push_back(std::move(out));
            }
        } catch (const std::exception& error) {
            failure = error.what();
        }
        lock.lock();
        for (PacketPtr& out : made) {
            packets_.push_back(std::move(out));
        }
        if (!failure.empty() && failure_.empty()) {
            failure_ = failure;
        }
        if (!frame) {
            drained_ = true;
        }
        changed_.notify_all();
        if (!failure_.empty()) {
            return;
        }
    }
}

}  // namespace castor
