// The clock and the wave-out device of libwinmm, stood in for by the test
// program itself: its definitions of timeGetTime and the waveOut entries
// take the place of the library's for every module of the process, the
// engine module too. The clock is a manual one, and the one device plays
// its blocks only as the test moves that clock, returning each one done on
// the test's own thread, so a movie's sound and its frames keep exactly the
// distance in time the test gives them, however busy the machine is.
#pragma once

#include "tests/platform/manual_clock.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace kinolux::testing {

class FakeWaveOut {
public:
    static FakeWaveOut& instance();

    ManualClock& clock() { return clock_; }
    // Moves the clock a millisecond at a time; after each step every block
    // whose sound has played by then is returned done.
    void advance(std::chrono::milliseconds by);
    // Every 16-bit value written to the device since the last take.
    std::vector<std::int16_t> takeWritten();
    std::size_t writtenValues() const;
    bool isOpen() const;

private:
    FakeWaveOut() = default;
    ManualClock clock_;
};

}  // namespace kinolux::testing
