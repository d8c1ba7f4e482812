#include "video_timeline.h"

#include <cmath>

namespace castor {

int64_t VideoTimeline::SlotAt(double seconds) const {
    return std::llround(seconds * rate_.num / rate_.den);
}

VideoTimeline::Step VideoTimeline::Add(double start) {
    const int64_t slot = SlotAt(start);
    if (slot < next_) {
        return {};
    }
    Step step;
    if (holding_) {
        step.heldRepeats = slot - next_;
        step.count = 1;
    } else {
        step.count = slot - next_ + 1;
    }
    holding_ = true;
    next_ = slot + 1;
    return step;
}

int64_t VideoTimeline::Finish(double end) {
    const int64_t slot = SlotAt(end);
    if (!holding_ || slot <= next_) {
        return 0;
    }
    const int64_t repeats = slot - next_;
    next_ = slot;
    return repeats;
}

}  // namespace castor
