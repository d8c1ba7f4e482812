#include "engine/progress_percent.h"

#include <algorithm>

namespace kinolux {

int ProgressPercent(int64_t frame, int32_t inFrame, int32_t outFrame) {
    int64_t span = static_cast<int64_t>(outFrame) - inFrame;
    if (span <= 0) span = 1;
    const int64_t percent = (frame - inFrame) * 100 / span;
    return static_cast<int>(std::min<int64_t>(percent, 100));
}

std::optional<int> PercentTracker::Next(int percent) {
    if (percent == last_) return std::nullopt;
    last_ = percent;
    return percent;
}

}  // namespace kinolux
