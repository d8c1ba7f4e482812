// Places pictures that arrive with start times onto the output's fixed
// frame rate: a picture that falls on a slot already filled is dropped, a
// picture that comes late leaves a gap that the picture before it fills
// (it stays on screen), and before the first picture that picture itself
// fills the gap.
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

    // A picture starting at `start` seconds. Slots are taken in order from
    // NextSlot().
    Step Add(double start);
    // The slots the last picture still fills until `end` seconds.
    int64_t Finish(double end);

    int64_t NextSlot() const { return next_; }
    int64_t SlotAt(double seconds) const;

private:
    AVRational rate_;
    int64_t next_ = 0;
    bool holding_ = false;
};

}  // namespace castor
