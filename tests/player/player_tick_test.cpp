// The player's timer rules: when a movie counts as finished, and how much
// sound each tick writes.
#include "player/player_tick.h"

#include <gtest/gtest.h>

namespace kinolux {
namespace {

// Feeds the frames as successive ticks; the tick at which the run ends, or -1.
int TickThatEnds(const std::vector<int32_t>& frames, int32_t toFrame, float fps)
{
    FrameWatch watch;
    for (size_t tick = 0; tick < frames.size(); ++tick)
        if (MovieStalledOrLooped(watch, frames[tick], toFrame, fps)) return int(tick);
    return -1;
}

TEST(PlayerTick, AMovieStandingStillNearTheEndEndsTheRunAfterFiveSecondsOfTicks)
{
    // At 25 frames a second, 125 ticks on one frame are exactly five
    // seconds: the 126th is more.
    std::vector<int32_t> frames{1, 2, 3, 60};
    frames.insert(frames.end(), 126, 60);
    EXPECT_EQ(TickThatEnds(frames, 100, 25), 129);
    frames.pop_back();
    EXPECT_EQ(TickThatEnds(frames, 100, 25), -1);
}

TEST(PlayerTick, AMovieStandingStillFarFromTheEndPlaysOnUntilTheMainProgramCloses)
{
    std::vector<int32_t> frames{1, 2, 3};
    frames.insert(frames.end(), 2000, 49);
    EXPECT_EQ(TickThatEnds(frames, 100, 25), -1) << "49 is 51 frames before 100";
    EXPECT_NE(TickThatEnds(frames, 98, 25), -1);
}

TEST(PlayerTick, MovingAgainClearsTheStall)
{
    FrameWatch watch;
    for (int tick = 0; tick < 100; ++tick) ASSERT_FALSE(MovieStalledOrLooped(watch, 90, 100, 25));
    EXPECT_FALSE(MovieStalledOrLooped(watch, 91, 100, 25));
    EXPECT_EQ(watch.stallCount, 0);
    for (int tick = 0; tick < 125; ++tick) ASSERT_FALSE(MovieStalledOrLooped(watch, 91, 100, 25));
}

TEST(PlayerTick, AJumpBackOfMoreThanFiveFramesIsALoop)
{
    EXPECT_EQ(TickThatEnds({10, 20, 29, 0, 1}, 1000, 25), 3) << "looped from its last frame to the first";
    EXPECT_EQ(TickThatEnds({10, 20, 15, 16}, 1000, 25), -1) << "five frames back is not a loop";
    EXPECT_EQ(TickThatEnds({10, 20, 14}, 1000, 25), 2);
}

TEST(PlayerTick, TheRangeEndsWithItsLastFrameAndItsSound)
{
    EXPECT_FALSE(ReachedEndOfRange(99, 100));
    EXPECT_TRUE(ReachedEndOfRange(100, 100));
    EXPECT_TRUE(ReachedEndOfRange(101, 100));
    EXPECT_TRUE(ReachedEndOfRange(INT32_MAX, INT32_MAX)) << "no overflow at the limits";
    EXPECT_FALSE(ReachedEndOfRange(INT32_MIN, INT32_MAX));

    EXPECT_EQ(FramesLeftInRange(100, 100), 1);
    EXPECT_EQ(FramesLeftInRange(103, 100), 0);
    EXPECT_EQ(FramesLeftInRange(INT32_MIN, INT32_MAX), int64_t(UINT32_MAX) + 1);
    // At 25 fps: the last frame's 40 ms, and 40 ms for where it was logged.
    EXPECT_EQ(RunSoundEndMs(1000, 1, 25), 1080u);
    EXPECT_EQ(RunSoundEndMs(1000, 0, 25), 1040u) << "the frames shown are over";
    EXPECT_EQ(RunSoundEndMs(1000, 0, 29.97f), 1034u) << "whole ms, rounded up";
    EXPECT_EQ(RunSoundEndMs(UINT32_MAX - 10, 1, 25), UINT32_MAX);

    // What Finish will have written: the WAV so far and what waits.
    WavPace pace;
    pace.ValuesDue(1000);
    EXPECT_EQ(pace.LengthMsWith(0), 1000u);
    EXPECT_EQ(pace.LengthMsWith(2 * 4410), 1100u);
    EXPECT_EQ(pace.LengthMsWith(-2 * 4410), 900u) << "values still owed are not in it yet";
}

TEST(PlayerTick, TheTimerTicksOncePerFramePeriodInWholeMilliseconds)
{
    EXPECT_EQ(TickIntervalMs(25), 40);
    EXPECT_EQ(TickIntervalMs(29.97f), 33);
    EXPECT_EQ(TickIntervalMs(12.5f), 80);
    EXPECT_EQ(TickIntervalMs(5000), 1) << "never a busy loop";
    EXPECT_EQ(TickIntervalMs(1e-9f), INT32_MAX);
}

TEST(PlayerTick, EachTickWritesTheSoundOfTheTimeSinceTheLast)
{
    WavPace pace;
    EXPECT_EQ(pace.ValuesDue(40), 3528u) << "40 ms at 88.2 values a millisecond";
    EXPECT_EQ(pace.ValuesDue(80), 3528u);
    EXPECT_EQ(pace.ValuesDue(80), 0u);
    EXPECT_EQ(pace.ValuesDue(70), 0u) << "a clock reading from before never takes sound back";
}

TEST(PlayerTick, TheWavKeepsItsChannelsAndNeverDriftsFromRealTime)
{
    // 33 ms ticks share 2910.6 values each: a share rounded down on every
    // tick would lose a fifth of a millisecond each second, and an odd
    // share would swap the channels from then on.
    WavPace pace;
    uint64_t total = 0;
    for (uint32_t now = 33; now <= 600'000; now += 33) {
        const uint32_t values = pace.ValuesDue(now);
        ASSERT_EQ(values % 2, 0u) << "whole left-right pairs at " << now << " ms";
        total += values;
    }
    EXPECT_EQ(total, 2 * (uint64_t(600'000 / 33 * 33) * 44100 / 1000));
    EXPECT_EQ(total, pace.ValuesWritten());
}

TEST(PlayerTick, TheSyncFileLogsEachFrameAtTheWavTimeOfItsSound)
{
    WavTimeline timeline;
    EXPECT_EQ(timeline.SoundTimeMs(120, 0), 120u) << "before any sound, real time";
    // 40 ms of silence while nothing was buffered; then the device opens
    // with three blocks rendered ahead, and a sound started now comes one
    // block after them: 40 + 3 x 11.6 + 11.6 ms.
    timeline.NoteWrite(3528, 0);
    EXPECT_EQ(timeline.SoundTimeMs(45, 3 * 1024), 86u);
    // Writes that find enough take from the buffer and move nothing.
    timeline.NoteWrite(3528, 6 * 1024);
    EXPECT_EQ(timeline.SoundTimeMs(85, 6 * 1024 - 3528), (3528 + 6 * 1024 + 1024) * 10 / 882);
    // A write that finds too little writes silence before the sound still
    // waiting, so every later sound comes that much later.
    timeline.NoteWrite(3528, 100);
    EXPECT_EQ(timeline.SoundTimeMs(125, 100), (2 * 3528 + 3528 + 100 + 1024) * 10 / 882);
}

// A starved player finds less of the engine's sound than real time asks
// for: the WAV must still hold that sound whole, in order and without a
// gap, as a sound card plays it, so that the recording is the same however
// busy the machine.
TEST(PlayerTick, AStarvedEngineSoundIsOwedNotCutBySilence)
{
    WavDebt debt;
    // Before the engine delivers anything, real time is silence.
    WavWrite write = debt.Next(3528, 0);
    EXPECT_EQ(write.taken, 0u);
    EXPECT_EQ(write.silence, 3528u);
    EXPECT_EQ(debt.Owed(), 0u);
    // Delivering: all of it taken, an odd value left for its pair.
    write = debt.Next(3528, 5001);
    EXPECT_EQ(write.taken, 3528u);
    EXPECT_EQ(write.silence, 0u);
    // The engine was kept from the CPU: what it has is taken, the rest owed.
    write = debt.Next(3528, 1001);
    EXPECT_EQ(write.taken, 1000u);
    EXPECT_EQ(write.silence, 0u);
    EXPECT_EQ(debt.Owed(), 2528u);
    // It catches up: the debt is paid first, from its sound.
    write = debt.Next(3528, 8000);
    EXPECT_EQ(write.taken, 2528u + 3528u);
    EXPECT_EQ(debt.Owed(), 0u);
}

TEST(PlayerTick, AnEngineThatStopsDeliveringIsMadeUpBySilenceBeyondADevicesBuffer)
{
    WavDebt debt;
    debt.Next(3528, 4096);
    uint64_t silence = 0;
    for (int tick = 0; tick < 100; ++tick) {
        const WavWrite write = debt.Next(3528, 0);
        EXPECT_EQ(write.taken, 0u);
        EXPECT_EQ(write.silence % 2, 0u) << "whole left-right pairs";
        silence += write.silence;
        ASSERT_LE(debt.Owed(), WavDebt::kLongestShortfallValues);
    }
    EXPECT_EQ(debt.Owed(), WavDebt::kLongestShortfallValues);
    EXPECT_EQ(silence + debt.Owed(), 100u * 3528u) << "nothing lost: owed or silence";
}

// The frame a tick sees may have run most of a period before; its sound
// started then, and that is what its first record must say.
TEST(PlayerTick, AFrameIsLoggedAtTheSoundTimeItWasFirstSeenAndAStandingFrameAtEachTick)
{
    FrameSoundTimes times;
    EXPECT_TRUE(times.IsNew(0));
    times.See(7, 1000);
    times.See(7, 1012);
    EXPECT_FALSE(times.IsNew(7));
    EXPECT_EQ(times.TimeToLog(7, 1035), 1000u) << "seen right after the movie ran it";
    EXPECT_EQ(times.TimeToLog(7, 1075), 1075u) << "the movie stands on it: the tick's own time";
    EXPECT_EQ(times.TimeToLog(8, 1115), 1115u) << "not seen before the tick: the tick's time";
    times.See(9, 1130);
    EXPECT_EQ(times.TimeToLog(9, 1155), 1130u);
}

}  // namespace
}  // namespace kinolux
