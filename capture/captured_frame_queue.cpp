#include "capture/captured_frame_queue.h"

namespace kinolux {

void CapturedFrameQueue::Append(CapturedFrame entry)
{
    std::lock_guard guard(lock_);
    while (entries_.size() >= kMaxEntries) entries_.pop_front();
    entries_.push_back(std::move(entry));
    count_ = entries_.size();
}

bool CapturedFrameQueue::TakeOldest(CapturedFrame& out)
{
    std::lock_guard guard(lock_);
    if (entries_.empty()) return false;
    out = std::move(entries_.front());
    entries_.pop_front();
    count_ = entries_.size();
    return true;
}

void CapturedFrameQueue::Clear()
{
    std::lock_guard guard(lock_);
    entries_.clear();
    count_ = 0;
}

}  // namespace kinolux
