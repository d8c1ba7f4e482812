// What the conversion run asks interactive capture to record: which movie,
// where its sound goes, what to keep, at which pace, which frames and at
// which size.
#pragma once

#include <cstdint>
#include <string>

namespace kinolux {

// What a capture records: nothing (progress and auto stop only) at 0 or
// less, pictures and sound at 1 or 3, sound only at 2.
inline constexpr int32_t kCaptureSoundOnly = 2;

struct CaptureRequest {
    std::string moviePath;
    std::string wavPath;     // written while the capture runs, unless nothing is recorded
    int32_t captureKind = 0;
    float frameRate = 0;     // the movie's frames per second
    int32_t startFrame = 0;  // the control goes there before playing
    int32_t endFrame = 0;    // the last frame of the range
    int32_t width = 0;       // the movie area, pixels
    int32_t height = 0;
};

}  // namespace kinolux
