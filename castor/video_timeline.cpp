#include "castor/video_timeline.h"

#include <cmath>

namespace castor {

namespace {

// Time stamps rounded to milliseconds must not decide between two slots.
constexpr double kSlack = 1e-6;

}  // namespace

int64_t VideoTimeline::SlotAt(double seconds) const {
    return static_cast<int64_t>(std::ceil(seconds * rate_.num / rate_.den - 0.5));
}

VideoTimeline::Step VideoTimeline::Add(double start, double end) {
    const int64_t slot = SlotAt(start);
    if (slot < next_ || static_cast<double>(slot) * rate_.den / rate_.num >= end - kSlack) {
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
