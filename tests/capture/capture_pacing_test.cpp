// The pace of interactive capture: the tick interval from the frame rate,
// the sound owed for a stretch of time, and the console's limits.
#include "capture/capture_pacing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kinolux {
namespace {

TEST(CapturePacing, TheTickComesEveryThreeFramePeriods)
{
    EXPECT_EQ(CaptureTickIntervalMs(30), 100u);
    EXPECT_EQ(CaptureTickIntervalMs(12), 250u);
    EXPECT_EQ(CaptureTickIntervalMs(29.97f), 100u) << "truncated";
    EXPECT_EQ(CaptureTickIntervalMs(7), 428u);
    // Rates no movie has still give a tick that neither races nor sleeps.
    EXPECT_EQ(CaptureTickIntervalMs(0), 250u);
    EXPECT_EQ(CaptureTickIntervalMs(-5), 250u);
    EXPECT_EQ(CaptureTickIntervalMs(std::nanf("")), 250u);
    EXPECT_EQ(CaptureTickIntervalMs(std::numeric_limits<float>::infinity()), 250u);
    EXPECT_EQ(CaptureTickIntervalMs(1000), 10u);
    EXPECT_EQ(CaptureTickIntervalMs(0.001f), 30000u);
}

TEST(CapturePacing, SoundComesInWholeStereoPairs)
{
    EXPECT_EQ(SoundValuesIn(1000), 88200u);
    EXPECT_EQ(SoundValuesIn(0), 0u);
    // 105 ms is 4630.5 pairs: the half pair waits for the next tick.
    EXPECT_EQ(SoundValuesIn(105), 9260u);
    for (uint64_t ms = 0; ms < 2000; ++ms) ASSERT_EQ(SoundValuesIn(ms) % 2, 0u) << ms;
    EXPECT_EQ(SoundValuesIn(3600ull * 1000), 3600ull * 88200) << "an hour, with nothing lost to overflow";
}

TEST(CapturePacing, ConsoleLimits)
{
    EXPECT_EQ(ConsoleStallLimitMs(5, 100), 6000u);
    EXPECT_EQ(ConsoleStallLimitMs(5, 1000), 7000u) << "room for two ticks after the restart";
    EXPECT_EQ(ConsoleStallLimitMs(0, 100), 2000u) << "never shorter than a second of idling";
    EXPECT_EQ(ConsoleStallLimitMs(std::numeric_limits<int32_t>::max(), 100), UINT32_MAX);

    EXPECT_FALSE(ConsoleRangeStopsAtItsEnd(0, 0));
    EXPECT_FALSE(ConsoleRangeStopsAtItsEnd(0, 4));
    EXPECT_TRUE(ConsoleRangeStopsAtItsEnd(0, 5));
    EXPECT_FALSE(ConsoleRangeStopsAtItsEnd(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()));
    EXPECT_TRUE(ConsoleRangeStopsAtItsEnd(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace
}  // namespace kinolux
