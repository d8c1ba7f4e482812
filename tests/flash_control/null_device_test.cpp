// The null device the control plays on where there is no sound: it takes
// sound at the real-time rate even when its thread comes back late, so a
// movie's sounds keep their distance in time on a busy machine.
#include "platform/winmm/null_wave_sink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace kinolux::winmm {
namespace {

TEST(NullDevice, AWriterThatComesBackLateLosesNoTime)
{
    const PcmFormat format{44100, 2, 16};
    NullWaveSink sink(format);
    const std::vector<std::uint8_t> tenMs(441 * 4);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        sink.play(tenMs.data(), tenMs.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    // Half a second of sound; a device that restarted at every late write
    // would have taken 650 ms.
    EXPECT_LT(elapsed.count(), 590);
    EXPECT_GE(elapsed.count(), 497);
}

}  // namespace
}  // namespace kinolux::winmm
