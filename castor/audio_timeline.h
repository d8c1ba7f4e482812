// Keeps sound blocks where their times put them. Sound is one continuous
// stream; a block that starts noticeably later than the stream has reached
// leaves a gap of silence, and one that starts noticeably earlier (it
// overlaps what was already played) loses its overlapping start. Small
// differences (rounded time stamps) are left alone.
#pragma once

#include <cstdint>

namespace castor {

class AudioTimeline {
public:
    // Differences up to this much are rounding, not gaps.
    static constexpr double kTolerance = 0.02;

    struct Step {
        int64_t silence = 0;  // samples of silence before the block
        int64_t skip = 0;     // samples to drop from the block's start
    };

    // A block of `samples` samples at `sampleRate` that starts at `start`
    // seconds.
    Step Add(double start, int64_t samples, int sampleRate);

    // Where the stream has reached, in seconds.
    double Position() const { return position_; }

private:
    double position_ = 0;
};

}  // namespace castor
