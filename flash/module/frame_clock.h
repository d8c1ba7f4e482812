// When a movie's next frame is due, by the readings of a millisecond clock
// that may stand still or jump (the capture's virtual clock jumps by two
// frame periods per step).
//
// A frame is due once a whole period has passed since the previous one was
// due. While the frames keep up (each shown less than a period late), they
// stay on their regular grid, so real-time playing does not drift by the
// timer's lateness. A reading a period or more late shows one frame and
// starts the grid afresh from that reading: a jump of the clock moves the
// movie one frame, never more, and leaves no debt for the next reading. Only
// when the caller asks to catch up (a stream sound leads the timeline) is
// the debt kept, so the frames run one per reading until they are back on
// time.
#pragma once

#include <cstdint>

namespace flash {

class FrameClock {
public:
    explicit FrameClock(double framesPerSecond);

    double periodMs() const { return periodMs_; }

    // The next reading starts the clock again (a new movie).
    void restart() { started_ = false; }
    bool started() const { return started_; }

    // Takes a reading of the clock. The first reading after a restart only
    // starts the clock; later ones return true when a frame is due, and that
    // frame then counts as shown. A reading that goes back counts as no time.
    bool frameDue(std::uint32_t now, bool catchUp);

    // Another frame is due already at the last reading: the timeline is
    // behind its clock.
    bool behind() const;
    // From the last reading to the next due frame (0 when behind).
    double msUntilDue() const;
    // The time the readings have moved forward since the first one.
    std::uint32_t msSinceStart() const { return started_ ? sinceStart_ : 0; }

private:
    double periodMs_;
    bool started_ = false;
    std::uint32_t last_ = 0;
    std::uint32_t sinceStart_ = 0;
    double untilDue_ = 0;  // from last_ to the next due frame; <= 0 when behind
};

// The frame rate a movie plays at: its header's, or 15 frames per second for
// a header that gives none (the rate the rest of the program assumes then).
double playingFrameRate(double headerFramesPerSecond);

}  // namespace flash
