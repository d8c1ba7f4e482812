#include "flash/module/frame_clock.h"

#include <algorithm>

namespace flash {

namespace {

// Catching up never runs through more than this much debt: beyond it the
// sound it would have kept in step with is lost anyway (a stalled process),
// and running a second of frames undrawn would only stall the picture.
constexpr double kLongestCatchUpMs = 1000;

// Due times are sums of periods that are not whole milliseconds; within this
// of a reading they count as reached, so rounding never delays a frame.
constexpr double kToleranceMs = 1e-3;

// Readings further apart than this went backwards around the 32-bit clock.
constexpr std::uint32_t kLongestForwardStep = 0x7FFFFFFF;

constexpr double kRateWithoutHeaderRate = 15;

}  // namespace

double playingFrameRate(double headerFramesPerSecond)
{
    return headerFramesPerSecond > 0 ? headerFramesPerSecond : kRateWithoutHeaderRate;
}

FrameClock::FrameClock(double framesPerSecond) : periodMs_(1000.0 / playingFrameRate(framesPerSecond)) {}

bool FrameClock::frameDue(std::uint32_t now, bool catchUp)
{
    if (!started_) {
        started_ = true;
        last_ = now;
        sinceStart_ = 0;
        untilDue_ = periodMs_;
        return false;
    }
    const std::uint32_t step = now - last_;
    last_ = now;
    if (step <= kLongestForwardStep) {
        untilDue_ -= step;
        sinceStart_ += step;
    }
    if (untilDue_ > kToleranceMs) return false;

    const double late = -untilDue_;
    if (late < periodMs_ || (catchUp && late < kLongestCatchUpMs))
        untilDue_ += periodMs_;
    else
        untilDue_ = periodMs_;
    return true;
}

bool FrameClock::behind() const
{
    return started_ && untilDue_ <= kToleranceMs;
}

double FrameClock::msUntilDue() const
{
    return std::max(0.0, untilDue_);
}

}  // namespace flash
