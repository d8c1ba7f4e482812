// One picture that interactive capture grabbed, with when and at which frame
// of the movie; the engine takes these from the captured-frame queue.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

namespace kinolux {

struct CapturedFrame {
    std::unique_ptr<QImage> bitmap;  // null for sound-only capture and in the end marker
    int32_t elapsedMs = 0;           // since capture started; -1 in the end marker
    int32_t frame = 0;               // the movie's frame then; -1 in the end marker
};

// Queued when capture stops: whoever takes it knows no more frames follow.
inline CapturedFrame CaptureEndMarker() { return {nullptr, -1, -1}; }

inline bool IsCaptureEndMarker(const CapturedFrame& entry)
{
    return !entry.bitmap && entry.elapsedMs == -1 && entry.frame == -1;
}

}  // namespace kinolux
