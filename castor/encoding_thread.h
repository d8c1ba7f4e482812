// One stream's encoder, run on a thread of its own: the video half (each
// picture converted for the encoder and encoded there) or the audio half,
// while the caller reads and makes what comes next (a movie's drawing,
// say), so that the halves share the machine's cores. Jobs run in the
// order given; packets come back in the order the encoder made them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "castor/encoder.h"
#include "castor/libav_handles.h"
#include "castor/video_filter.h"

namespace castor {

class EncodingThread {
public:
    // At most `queued` jobs wait; a call beyond that waits, so memory stays
    // bounded by a few pictures. Without a filter, frames reach the encoder
    // as they are given (sound).
    EncodingThread(std::unique_ptr<Encoder> encoder, std::unique_ptr<VideoFilter> filter, size_t queued = 3);
    ~EncodingThread();
    EncodingThread(const EncodingThread&) = delete;
    EncodingThread& operator=(const EncodingThread&) = delete;

    // For the muxer's stream, before the first job.
    const Encoder& StreamEncoder() const { return *encoder_; }

    // Each call throws the failure of a job that went before, if one
    // failed.
    // The picture to encode from now on. It is copied (or referenced, when
    // its buffers are counted): the caller may release it at once.
    void Hold(const AVFrame& picture);
    // The held picture once more, stamped `pts`.
    void Encode(int64_t pts);
    // A frame of its own (sound), stamped already, taken over whole.
    void Send(FramePtr frame);
    // No picture follows: the encoder gives its last packets.
    void End();
    // The next packet made, stamped in the encoder's time base; false when
    // none is ready. After End it waits until the encoder has given all.
    bool Receive(AVPacket& packet);

private:
    enum class JobKind { Hold, Encode, Send, End };
    struct Job {
        JobKind kind;
        FramePtr picture;  // Hold, Send
        int64_t pts = 0;   // Encode
    };

    void Post(Job job);
    void Run(Job& job);
    void Work();
    void ThrowFailure();  // with mutex_ held

    class PictureCopies;

    std::unique_ptr<Encoder> encoder_;
    std::unique_ptr<VideoFilter> filter_;
    FramePtr held_;  // the converted picture; the thread's alone
    PacketPtr made_;
    std::unique_ptr<PictureCopies> copies_;  // the caller's side
    const size_t queued_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    std::deque<PacketPtr> packets_;
    bool ended_ = false;    // End was called
    bool drained_ = false;  // the encoder has given its last packet
    bool closing_ = false;
    std::string failure_;
    std::thread thread_;  // last: starts once everything above exists
};

}  // namespace castor
