// The arithmetic of interactive capture's pace: how often the movie is
// sampled, how much sound belongs to the time that passed, and how long a
// console capture may wait for a movie that makes no progress.
#pragma once

#include "platform/clock.h"

#include <cstdint>

namespace kinolux {

// The clock's reading in milliseconds, for the capture's elapsed times.
uint32_t CaptureTickCount(const Clock& clock);

// The tick samples the movie every three frame periods: 100 ms at 30
// frames a second, 250 ms at 12. A rate that is not a positive number
// counts as 12 frames a second; the interval stays within 10 ms and 30 s.
uint32_t CaptureTickIntervalMs(float frameRate);

// 16-bit values of 44.1 kHz stereo sound in `ms` milliseconds, always
// whole stereo pairs so that the channels never swap.
uint64_t SoundValuesIn(uint64_t ms);

// A console capture ends once the movie has reached no frame beyond the
// furthest one seen for this long: a stopped movie is played on after the
// idle limit first, so this leaves room for that restart to show progress.
uint32_t ConsoleStallLimitMs(int32_t idleLimitSeconds, uint32_t tickIntervalMs);

// Console captures stop by themselves at the end of the range only when it
// spans enough frames to be played through; a shorter range (a movie of a
// frame or a few) is recorded for the idle limit instead.
bool ConsoleRangeStopsAtItsEnd(int32_t startFrame, int32_t endFrame);

}  // namespace kinolux
