// A movie playing in real time on the clock the engine module imports
// (timeGetTime): each poll reads the clock once and runs the next frame when
// one is due, never more than one, then hands the sound tags the frame ran
// to the movie's sound.
#pragma once

#include "flash/module/flash_engine.h"
#include "flash/module/frame_clock.h"
#include "flash/module/movie_sound.h"

#include <memory>

namespace flash {

struct PlaybackStep {
    bool frameRan = false;
    bool behind = false;     // another frame is due already: skip drawing this one
    double msUntilDue = 0;   // until the next poll is wanted: the next due frame
};

class MoviePlayback {
public:
    // The sound must outlive the playback; it is reset for this movie.
    MoviePlayback(std::unique_ptr<Engine> engine, MovieSound& sound);
    ~MoviePlayback();
    MoviePlayback(const MoviePlayback&) = delete;
    MoviePlayback& operator=(const MoviePlayback&) = delete;

    Engine& engine() { return *engine_; }
    const Engine& engine() const { return *engine_; }
    Player& player() { return engine_->player(); }
    const Player& player() const { return engine_->player(); }

    PlaybackStep poll();
    // The host moves the timeline: the streams end there, and the sounds of
    // the frame it lands on start at the next poll.
    void gotoFrame(int frame);

private:
    std::unique_ptr<Engine> engine_;
    MovieSound& sound_;
    FrameClock clock_;
};

}  // namespace flash
