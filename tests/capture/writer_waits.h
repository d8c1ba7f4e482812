// The waits a test's reader of a growing file hands over: one that never
// waits, and one that lets a writer on another thread catch up a little.
#pragma once

#include <chrono>
#include <thread>

namespace kinolux::testing {

inline bool NeverWait() { return false; }

inline bool WaitAMoment() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

}  // namespace kinolux::testing
