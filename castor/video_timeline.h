// Places pictures that arrive with start times onto the output's fixed
// frame rate. A picture goes to the slot nearest its start (exactly half
// way: the earlier one), unless that slot is taken or begins after the
// picture has ended; it is dropped then. A picture that comes late leaves a
// gap that the picture before it fills (it stays on screen); before the
// first picture, that picture itself fills the gap.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/rational.h>
}

namespace castor {

class VideoTimeline {
public:
    explicit VideoTimeline(AVRational frameRate) : rate_(frameRate) {}

    struct Step {
        int64_t heldRepeats = 0;  // slots the previous picture fills first
        int64_t count = 0;        // slots this picture fills (0: dropped)
    };

    // A picture shown from `start` to `end` seconds. Slots are taken in
    // order from NextSlot().
    Step Add(double start, double end);
    // The slots the last picture still fills until `end` seconds.
    int64_t Finish(double end);

    int64_t NextSlot() const { return next_; }
    // The slot nearest a time (half way: the earlier).
    int64_t SlotAt(double seconds) const;

private:
    AVRational rate_;
    int64_t next_ = 0;
    bool holding_ = false;
};

}  // namespace castor
