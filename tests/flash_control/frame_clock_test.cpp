// When frames are due: the capture's jumping clock, a frozen clock, real-time
// readings that arrive a little late, and catching up behind a stream.
#include "flash/module/frame_clock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace flash {
namespace {

// How many frames a clock shows over readings at `now`, each read `readsPer` times.
int framesOver(FrameClock& clock, std::initializer_list<std::uint32_t> readings, int readsPer = 3)
{
    int frames = 0;
    for (std::uint32_t now : readings)
        for (int i = 0; i < readsPer; ++i) frames += clock.frameDue(now, false);
    return frames;
}

TEST(FrameClock, EachJumpOfTwoStepsShowsExactlyOneFrameAndLeavesNoDebt)
{
    // The capture steps by the frame period in whole milliseconds and the
    // virtual clock jumps by twice that; the probe's whole frame rate may
    // also differ from the movie's own (12.5 played as 12, 29.97 as 29).
    struct Case {
        double fps;
        std::uint32_t stepMs;
    };
    for (const Case c : {Case{25, 40}, Case{30, 33}, Case{12.5, 83}, Case{29.97, 34}, Case{120, 8}, Case{255.9, 3}}) {
        FrameClock clock(c.fps);
        std::uint32_t now = 0xFFFFFF00u;  // the clock wraps on the way
        EXPECT_FALSE(clock.frameDue(now, false)) << "the first reading only starts the clock";
        EXPECT_EQ(framesOver(clock, {now}), 0) << "a frozen clock shows nothing";
        for (int step = 0; step < 500; ++step) {
            now += 2 * c.stepMs;
            ASSERT_EQ(framesOver(clock, {now}), 1) << c.fps << " fps, step " << step;
            ASSERT_FALSE(clock.behind());
        }
    }
}

TEST(FrameClock, LateReadingsInRealTimeKeepTheFramesOnTheirGrid)
{
    // A timer that fires 1 to 3 ms late must not slow the movie down: after a
    // minute at 30 frames per second exactly 1800 frames have run.
    FrameClock clock(30);
    std::uint32_t now = 1000;
    clock.frameDue(now, false);
    int frames = 0;
    const std::uint32_t end = now + 60000;
    while (now < end) {
        now += 1 + now % 3;  // a millisecond timer, late now and then
        frames += clock.frameDue(now, false);
    }
    EXPECT_EQ(frames, 1800);
}

TEST(FrameClock, AStallShowsOneFrameAndStartsAfreshUnlessCatchingUp)
{
    FrameClock clock(25);
    clock.frameDue(0, false);
    EXPECT_TRUE(clock.frameDue(500, false));
    EXPECT_FALSE(clock.behind()) << "the debt of a stall is dropped";
    EXPECT_FALSE(clock.frameDue(539, false));
    EXPECT_TRUE(clock.frameDue(540, false));

    // Behind a stream sound the frames run one per reading until on time.
    FrameClock streaming(25);
    streaming.frameDue(0, true);
    int frames = 0;
    for (int i = 0; i < 20 && (i == 0 || streaming.behind()); ++i) frames += streaming.frameDue(200, true);
    EXPECT_EQ(frames, 5);
    EXPECT_FALSE(streaming.behind());
    EXPECT_NEAR(streaming.msUntilDue(), 40, 1e-9);

    // More than a second behind is given up: that sound is gone anyway.
    FrameClock stalled(25);
    stalled.frameDue(0, true);
    EXPECT_TRUE(stalled.frameDue(5000, true));
    EXPECT_FALSE(stalled.behind());
}

TEST(FrameClock, ReadingsThatGoBackCountAsNoTime)
{
    FrameClock clock(10);
    clock.frameDue(5000, false);
    EXPECT_FALSE(clock.frameDue(4000, false));
    EXPECT_FALSE(clock.frameDue(4099, false));
    EXPECT_TRUE(clock.frameDue(4100, false));
    EXPECT_EQ(clock.msSinceStart(), 100u);
}

TEST(FrameClock, AMovieWithoutAFrameRatePlaysAtFifteen)
{
    EXPECT_NEAR(FrameClock(0).periodMs(), 1000.0 / 15, 1e-9);
    EXPECT_NEAR(FrameClock(24).periodMs(), 1000.0 / 24, 1e-9);
}

}  // namespace
}  // namespace flash
