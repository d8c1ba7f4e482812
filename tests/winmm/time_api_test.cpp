#include "platform/winmm/winmm.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(TimeApi, TimeGetTimeIsTheMonotonicClockInMillisecondsModulo32Bits)
{
    using namespace std::chrono;
    // Each reading lies between two readings of the monotonic clock taken
    // around it, however long the thread is kept waiting in between.
    const auto before = DWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    const DWORD reading = timeGetTime();
    const DWORD later = timeGetTime();
    const auto after = DWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    EXPECT_LE(DWORD(reading - before), DWORD(after - before));
    EXPECT_LE(DWORD(later - reading), DWORD(after - reading)) << "never goes back";
    EXPECT_LE(DWORD(later - before), DWORD(after - before));
}

TEST(TimeApi, CapsAndPeriodsFollowWindows)
{
    TIMECAPS caps{};
    EXPECT_EQ(timeGetDevCaps(&caps, sizeof caps), UINT(TIMERR_NOERROR));
    EXPECT_EQ(caps.wPeriodMin, 1u);
    EXPECT_GE(caps.wPeriodMax, 1000u);
    EXPECT_EQ(timeGetDevCaps(nullptr, sizeof caps), UINT(TIMERR_NOCANDO));
    EXPECT_EQ(timeGetDevCaps(&caps, 4), UINT(TIMERR_NOCANDO));
    EXPECT_EQ(timeBeginPeriod(1), UINT(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(1), UINT(TIMERR_NOERROR));
    EXPECT_EQ(timeBeginPeriod(0), UINT(TIMERR_NOCANDO));
}

}  // namespace
