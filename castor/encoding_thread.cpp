#include "castor/encoding_thread.h"

#include "castor/failure.h"
#include "castor/libav_log.h"

extern "C" {
#include <libavutil/buffer.h>
#include <libavutil/imgutils.h>
}

namespace castor {
namespace {

struct BufferPoolDeleter {
    void operator()(AVBufferPool* pool) const { av_buffer_pool_uninit(&pool); }
};

}  // namespace

// The copies of pictures whose buffers are not counted take their memory
// from a pool, so that every picture does not map fresh pages.
class EncodingThread::PictureCopies {
public:
    FramePtr Copy(const AVFrame& picture) {
        const auto format = static_cast<AVPixelFormat>(picture.format);
        const int size =
            Check(av_image_get_buffer_size(format, picture.width, picture.height, kAlign), "Could not copy a picture");
        if (!pool_ || size != size_) {
            pool_.reset(av_buffer_pool_init(static_cast<size_t>(size), nullptr));
            size_ = size;
        }
        FramePtr copy = NewFrame();
        copy->buf[0] = pool_ ? av_buffer_pool_get(pool_.get()) : nullptr;
        if (!copy->buf[0]) {
            Fail("Out of memory");
        }
        copy->format = picture.format;
        copy->width = picture.width;
        copy->height = picture.height;
        Check(av_image_fill_arrays(copy->data, copy->linesize, copy->buf[0]->data, format, picture.width,
                                   picture.height, kAlign),
              "Could not copy a picture");
        Check(av_frame_copy(copy.get(), &picture), "Could not copy a picture");
        Check(av_frame_copy_props(copy.get(), &picture), "Could not copy a picture");
        return copy;
    }

private:
    static constexpr int kAlign = 32;
    std::unique_ptr<AVBufferPool, BufferPoolDeleter> pool_;
    int size_ = 0;
};

EncodingThread::EncodingThread(std::unique_ptr<Encoder> encoder, std::unique_ptr<VideoFilter> filter, size_t queued)
    : encoder_(std::move(encoder)),
      filter_(std::move(filter)),
      made_(NewPacket()),
      copies_(std::make_unique<PictureCopies>()),
      queued_(queued == 0 ? 1 : queued),
      thread_([this] { Work(); }) {}

EncodingThread::~EncodingThread() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void EncodingThread::ThrowFailure() {
    if (!failure_.empty()) {
        Fail(failure_);
    }
}

void EncodingThread::Hold(const AVFrame& picture) {
    if (picture.buf[0] != nullptr) {
        FramePtr reference(av_frame_clone(&picture));
        if (!reference) {
            Fail("Out of memory");
        }
        Post(Job{JobKind::Hold, std::move(reference)});
    } else {
        Post(Job{JobKind::Hold, copies_->Copy(picture)});
    }
}

void EncodingThread::Encode(int64_t pts) { Post(Job{JobKind::Encode, nullptr, pts}); }

void EncodingThread::Send(FramePtr frame) { Post(Job{JobKind::Send, std::move(frame)}); }

void EncodingThread::End() {
    {
        std::lock_guard lock(mutex_);
        if (ended_) {
            return;
        }
    }
    Post(Job{JobKind::End, nullptr});
    std::lock_guard lock(mutex_);
    ended_ = true;
}

void EncodingThread::Post(Job job) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() < queued_ || !failure_.empty(); });
    ThrowFailure();
    jobs_.push_back(std::move(job));
    changed_.notify_all();
}

bool EncodingThread::Receive(AVPacket& packet) {
    std::unique_lock lock(mutex_);
    if (ended_) {
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

void EncodingThread::Run(Job& job) {
    switch (job.kind) {
    case JobKind::Hold: held_ = filter_ ? filter_->Convert(*job.picture) : std::move(job.picture); return;
    case JobKind::Encode:
        held_->pts = job.pts;
        encoder_->Send(held_.get());
        break;
    case JobKind::Send: encoder_->Send(job.picture.get()); break;
    case JobKind::End: encoder_->Send(nullptr); break;
    }
    std::deque<PacketPtr> made;
    while (encoder_->Receive(*made_)) {
        PacketPtr out = NewPacket();
        av_packet_move_ref(out.get(), made_.get());
        made.push_back(std::move(out));
    }
    std::lock_guard lock(mutex_);
    for (PacketPtr& out : made) {
        packets_.push_back(std::move(out));
    }
    drained_ = job.kind == JobKind::End;
}

void EncodingThread::Work() {
    // libav's errors on this thread name what the encoder objected to.
    LibavLogScope scope;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !jobs_.empty() || closing_; });
        if (jobs_.empty()) {
            return;
        }
        Job job = std::move(jobs_.front());
        lock.unlock();
        std::string failure;
        try {
            Run(job);
        } catch (const std::exception& error) {
            failure = error.what();
        }
        job.picture.reset();
        lock.lock();
        // Taken off only now: a full queue holds its pictures until here.
        jobs_.pop_front();
        if (!failure.empty()) {
            failure_ = failure;
        }
        changed_.notify_all();
        if (!failure_.empty()) {
            return;
        }
    }
}

}  // namespace castor
