#include "flash/module/movie_playback.h"

#include "platform/winmm/winmm.h"

namespace flash {

MoviePlayback::MoviePlayback(std::unique_ptr<Engine> engine, MovieSound& sound)
    : engine_(std::move(engine)), sound_(sound), clock_(engine_->player().frameRate())
{
    sound_.reset();
}

MoviePlayback::~MoviePlayback()
{
    sound_.reset();
}

PlaybackStep MoviePlayback::poll()
{
    // A plain call through the module's import slot: the capture redirects it.
    const DWORD now = timeGetTime();
    const bool starting = !clock_.started();
    const bool frameRan = clock_.frameDue(now, sound_.streaming());
    Player& player = engine_->player();
    player.setMovieTime(clock_.msSinceStart());
    if (frameRan) engine_->tick();
    // The reading that starts the clock starts no sound yet: the first frame's
    // sounds wait for the next poll, which is due at once, so that a host that
    // starts the movie and only then switches on sound capture (the player
    // program) captures them.
    if (starting) return {false, false, 0};
    sound_.takeQueued(player, frameRan);
    if (frameRan) sound_.tick();
    return {frameRan, clock_.behind(), clock_.msUntilDue()};
}

void MoviePlayback::gotoFrame(int frame)
{
    engine_->player().gotoFrame(frame);
    sound_.stopStreams();
}

}  // namespace flash
