// The flags every side of a conversion polls: the progress window, the frame
// supply, the encoder's progress callbacks and the worker threads. One
// conversion runs at a time, so they are process-wide.
#pragma once

#include <atomic>

namespace kinolux {

struct RunFlags {
    std::atomic<int> stop{0};        // 1: end the frame supply, the encoder and the still-image loops
    std::atomic<int> secondPass{0};  // 1 while the final encoding of two passes runs: `stop` left by
                                     // the first encoding must not end it
};

RunFlags& CurrentRunFlags();

}  // namespace kinolux
