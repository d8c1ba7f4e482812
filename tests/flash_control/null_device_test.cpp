// The null device the control plays on where there is no sound: it takes
// sound at the real-time rate even when its thread comes back late, so a
// movie's sounds keep their distance in time on a busy machine.
#include "platform/winmm/null_wave_sink.h"

#include "tests/platform/manual_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace kinolux::winmm {
namespace {

using std::chrono::milliseconds;

// 441 frames of 44.1 kHz 16-bit stereo, 4 bytes each: 10 ms.
const std::vector<std::uint8_t> kTenMs(441 * 4);
const PcmFormat kCdFormat{44100, 2, 16};

TEST(NullDevice, AWriterThatComesBackLateLosesNoTime)
{
    testing::ManualClock clock;
    NullWaveSink sink(kCdFormat, clock);
    for (int i = 0; i < 50; ++i) {
        sink.play(kTenMs.data(), kTenMs.size());
        EXPECT_EQ(clock.sinceStart(), milliseconds(10 * (i + 1))) << "each write returns once its sound has played";
        clock.advance(milliseconds(3));
    }
    // Half a second of sound and the last 3 ms of lateness; a device that
    // restarted at every late write would have taken 50 * 13 = 650 ms.
    EXPECT_EQ(clock.sinceStart(), milliseconds(503));
}

TEST(NullDevice, APauseLongerThanTheDeviceBufferStartsTheTimingAfresh)
{
    testing::ManualClock clock;
    NullWaveSink sink(kCdFormat, clock);
    sink.play(kTenMs.data(), kTenMs.size());
    clock.advance(milliseconds(50));
    sink.play(kTenMs.data(), kTenMs.size());
    // 50 ms late still keeps its place: its sound was due by 20 ms, so the
    // write returns at once.
    EXPECT_EQ(clock.sinceStart(), milliseconds(60));
    clock.advance(milliseconds(51));
    sink.play(kTenMs.data(), kTenMs.size());
    // Played from the moment it came (111 ms), not at once to catch up.
    EXPECT_EQ(clock.sinceStart(), milliseconds(121));
}

// The player's device (on the clock set for it) keeps its place whatever
// the stall: a starved engine's frames catch up with their clock, and its
// sounds must land where those frames are, not as late as the stall was.
TEST(NullDevice, ADeviceOnASetClockCatchesUpAfterAStallInsteadOfLosingTheTime)
{
    testing::ManualClock clock;
    NullWaveSink sink(kCdFormat, clock, NullWaveSink::Pause::KeepsPlace);
    sink.play(kTenMs.data(), kTenMs.size());
    clock.advance(milliseconds(300));
    // What was due during the stall plays at once...
    for (int i = 0; i < 30; ++i) sink.play(kTenMs.data(), kTenMs.size());
    EXPECT_EQ(clock.sinceStart(), milliseconds(310));
    // ...and from then on the device is back on its first timing.
    sink.play(kTenMs.data(), kTenMs.size());
    EXPECT_EQ(clock.sinceStart(), milliseconds(320));
}

TEST(NullDevice, TheRateFollowsTheFormat)
{
    testing::ManualClock clock;
    NullWaveSink sink(PcmFormat{11025, 1, 8}, clock);
    const std::vector<std::uint8_t> second(11025);
    sink.play(second.data(), second.size());
    EXPECT_EQ(clock.sinceStart(), std::chrono::seconds(1));
    const std::vector<std::uint8_t> oneFrame(1);
    sink.play(oneFrame.data(), oneFrame.size());
    // 1 s + 1/11025 s, exact to the nanosecond, rounded down.
    EXPECT_EQ(clock.sinceStart(), std::chrono::nanoseconds(1'000'090'702));
}

}  // namespace
}  // namespace kinolux::winmm
