// Milliseconds on a clock that never jumps, for measuring waits and rates;
// only differences between two readings mean anything.
#pragma once

#include <chrono>
#include <cstdint>

namespace kinolux {

inline int64_t MonotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace kinolux
