// The flags every side of one conversion polls: the run itself, the frame
// supply, the encoder's progress callbacks and the worker threads. Each run
// owns its own; they are written on one thread and read on another.
#pragma once

#include <atomic>

namespace kinolux {

struct RunFlags {
    std::atomic<int> stop{0};        // 1: end the frame supply, the encoder and the still-image loops
    std::atomic<int> secondPass{0};  // 1 while the final encoding of two passes runs: `stop` left by
                                     // the first encoding must not end it
};

}  // namespace kinolux
