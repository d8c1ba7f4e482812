// Where taking a range of frames from a movie stops. A range in..out gives
// every frame from the in frame up to and including the out frame, with the
// out frame's sound: nothing after it, and nothing once the movie has gone
// back behind the last frame taken (it started over).
#pragma once

#include <cstdint>

namespace kinolux {

// Whether the movie, showing frame `current` now, still gives a frame of the
// range that ends at `outFrame`, after `taken` frames of which the last was
// the movie's frame `lastTaken`. The same frame again is allowed (a replay
// that waits for its player shows a frame twice), but not the out frame.
inline bool FrameLeftInRange(int32_t current, int32_t lastTaken, int64_t taken, int32_t outFrame) {
    if (taken > 0 && lastTaken >= outFrame) return false;
    return current <= outFrame && current >= lastTaken;
}

}  // namespace kinolux
