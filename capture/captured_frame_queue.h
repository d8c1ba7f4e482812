// The queue between interactive capture (the window thread appends every
// grabbed frame) and the engine (its worker thread takes them in order).
// It keeps the most recent entries only: when the engine falls behind, the
// oldest pictures are dropped.
#pragma once

#include "capture/captured_frame.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <mutex>

namespace kinolux {

class CapturedFrameQueue {
public:
    static constexpr std::size_t kMaxEntries = 10;

    // Appends `entry`, first dropping the oldest entries (and their
    // pictures) while the queue is full.
    void Append(CapturedFrame entry);
    // Moves the oldest entry into `out`; false, leaving `out` alone, when
    // the queue is empty.
    bool TakeOldest(CapturedFrame& out);
    // Drops every entry and its picture.
    void Clear();
    // Read without the lock, so a waiting taker can poll it cheaply.
    std::size_t Count() const { return count_; }

private:
    std::mutex lock_;
    std::deque<CapturedFrame> entries_;
    std::atomic<std::size_t> count_{0};
};

}  // namespace kinolux
