#include "player/player_tick.h"

#include <algorithm>
#include <cmath>

namespace kinolux {

namespace {

// How near the end a still movie must be, and how long it must have stood,
// before the run ends by itself.
constexpr int32_t kStallNearEndFrames = 50;
constexpr double kStallLimitMs = 5000;
// A jump back by more than this many frames is a loop.
constexpr int32_t kLoopJumpFrames = 5;

constexpr uint32_t kStereoFramesPerSecond = 44100;

}  // namespace

bool MovieStalledOrLooped(FrameWatch& watch, int32_t current, int32_t toFrame, float frameRate)
{
    if (current == watch.lastFrame) {
        ++watch.stallCount;
        const bool nearEnd = int64_t(current) > int64_t(toFrame) - kStallNearEndFrames;
        if (nearEnd && watch.stallCount * 1000.0 / frameRate > kStallLimitMs) return true;
    } else {
        watch.stallCount = 0;
    }
    if (int64_t(current) - watch.lastFrame < -kLoopJumpFrames) return true;
    watch.lastFrame = current;
    return false;
}

uint32_t RunSoundEndMs(uint32_t soundMs, int64_t framesLeft, float frameRate)
{
    const double endMs = soundMs + double(std::max<int64_t>(framesLeft, 0) + 1) * 1000.0 / frameRate;
    return uint32_t(std::clamp(std::ceil(endMs), 0.0, double(UINT32_MAX)));
}

int TickIntervalMs(float frameRate)
{
    const double interval = std::floor(1000.0 / frameRate);
    return int(std::clamp(interval, 1.0, double(INT32_MAX)));
}

uint32_t WavPace::ValuesDue(uint32_t elapsedMs)
{
    const uint64_t framesDue = uint64_t(elapsedMs) * kStereoFramesPerSecond / 1000;
    if (framesDue <= framesWritten_) return 0;
    const uint64_t frames = framesDue - framesWritten_;
    framesWritten_ = framesDue;
    return uint32_t(2 * frames);
}

uint32_t WavPace::LengthMsWith(int64_t more) const
{
    const int64_t values = std::max<int64_t>(int64_t(ValuesWritten()) + more, 0);
    return uint32_t(values * 1000 / (2 * kStereoFramesPerSecond));
}

WavWrite WavDebt::Next(uint32_t due, uint32_t buffered)
{
    // Whole left-right pairs only, so that the channels keep their places.
    const uint32_t available = buffered & ~1u;
    delivering_ = delivering_ || available > 0;
    owed_ += due;
    WavWrite write;
    write.taken = std::min(owed_, available);
    owed_ -= write.taken;
    if (!delivering_) {
        write.silence = owed_;
    } else if (owed_ > kLongestShortfallValues) {
        write.silence = owed_ - kLongestShortfallValues;
    }
    owed_ -= write.silence;
    return write;
}

void FrameSoundTimes::See(int32_t frame, uint32_t soundMs)
{
    if (!IsNew(frame)) return;
    seen_ = true;
    frame_ = frame;
    firstSoundMs_ = soundMs;
    logged_ = false;
}

uint32_t FrameSoundTimes::TimeToLog(int32_t frame, uint32_t soundMs)
{
    See(frame, soundMs);
    if (logged_) return soundMs;
    logged_ = true;
    return firstSoundMs_;
}

void WavTimeline::NoteWrite(uint32_t count, uint32_t buffered)
{
    (count <= buffered ? taken_ : silence_) += count;
}

uint32_t WavTimeline::SoundTimeMs(uint32_t elapsedMs, uint32_t buffered) const
{
    const uint64_t captured = taken_ + buffered;
    if (captured == 0) return elapsedMs;
    return uint32_t((captured + kEngineLeadValues + silence_) * 1000 / (2 * kStereoFramesPerSecond));
}

}  // namespace kinolux
