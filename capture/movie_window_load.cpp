#include "capture/call_interceptor.h"
#include "capture/flash_pane.h"
#include "capture/movie_window.h"
#include "capture/pump_events.h"

#include <QThread>

namespace kinolux {

namespace {

// A movie that does not report ready is waited for this often and this
// long at most, then played anyway.
constexpr int kReadyPolls = 20;
constexpr unsigned long kReadyPollMs = 100;

// Dropping a movie: a name that does not exist leaves an empty stage.
constexpr const char* kNoMovie = "null.swf";

}  // namespace

void MovieWindow::Reset()
{
    capturing = 0;
    run = CaptureRunState{};
    finished = 0;
    lastFrame = 0;
    tickBusy = 0;
    capturedFrames.Clear();
    settle_ = SettleDelayForFrameSize(frameWidth_, frameHeight_);
}

int MovieWindow::LoadForCapture(const std::string& path)
{
    Reset();
    if (!pane_) return 0;
    pane_->flash().SetAllowClicks(0);
    LoadMovieAndWait(path);
    CallInterceptor::Instance().ClockStart();
    pane_->flash().Play();
    finished = 0;
    PumpPendingEvents();
    lastFrame = 0;
    tickBusy = 0;
    return 0;
}

void MovieWindow::LoadMovieAndWait(const std::string& path)
{
    pane_->movieReady = 0;
    pane_->flash().LoadMovie(0, "");
    pane_->flash().SetMovie(path);
    for (int poll = 0; poll < kReadyPolls && !pane_->movieReady; ++poll) QThread::msleep(kReadyPollMs);
}

void MovieWindow::DropMovie()
{
    if (!pane_) return;
    pane_->flash().SetMovie(kNoMovie);
    pane_->flash().Stop();
}

int MovieWindow::Step(unsigned ms)
{
    CallInterceptor::Instance().ClockAdvance(ms);
    if (pane_) pane_->flash().Play();
    WaitWhileDrawing(*clock_, settle_, [this] { return pane_ && pane_->flash().FrameStillDrawing(); });
    PumpPendingEvents();
    return 0;
}

int MovieWindow::CurrentFrame()
{
    return pane_ ? static_cast<int>(pane_->flash().CurrentFrame()) : 0;
}

int MovieWindow::Unload()
{
    CallInterceptor::Instance().ClockReset();
    // The control drops the movie at once, and its timers run only while
    // events are handled: a pause here would only delay the end of every
    // conversion.
    DropMovie();
    PumpPendingEvents();
    return 0;
}

}  // namespace kinolux
