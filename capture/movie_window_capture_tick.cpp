#include "capture/audio_tap.h"
#include "capture/call_interceptor.h"
#include "capture/capture_control_row.h"
#include "capture/capture_pacing.h"
#include "capture/flash_pane.h"
#include "capture/movie_window.h"
#include "capture/pump_events.h"

#include <QProgressBar>
#include <algorithm>

namespace kinolux {

namespace {

// A frame this far behind the last one means the movie started over.
constexpr int32_t kLoopJump = -5;
// Waiting on one frame for more ticks than this brings the window back.
constexpr int32_t kWaitingTicks = 3;
constexpr int kShrunkWidth = 350;
constexpr int kShrunkHeight = 78;

}  // namespace

void MovieWindow::CaptureTick()
{
    if (capturing != 1 || !recording_) return;
    const int32_t cur = CurrentFrame();
    if (run.autoStop == 1 && cur - lastFrame < kLoopJump) {
        StopCapture();
        return;
    }
    if (cur == lastFrame) {
        if (++run.sameFrameTicks > kWaitingTicks && run.restored == 0) RestoreWindow();
    } else {
        if (run.shrunk == 0 && run.autoHide == 1) ShrinkWindow();
        run.sameFrameTicks = 0;
    }
    lastFrame = cur;

    if (run.captureKind > 0) {
        if (tickBusy == 1) return;
        tickBusy = 1;
        const int32_t elapsed = static_cast<int32_t>(CaptureTickCount(*clock_) - run.startTick);
        const uint32_t now = CallInterceptor::Instance().RealTimeGetTime();
        if (run.lastTime == 0) {
            // The first tick only starts the sound clock.
            run.lastTime = now;
            soundStartMs_ = now;
            tickBusy = 0;
            return;
        }
        // The sound owed since the clock started, so that rounding never
        // adds up over a long capture.
        const uint64_t due = SoundValuesIn(now - soundStartMs_);
        AudioTap::Instance().WriteSamples(static_cast<uint32_t>(due - soundValuesWritten_));
        soundValuesWritten_ = due;
        run.lastTime = now;
        std::unique_ptr<QImage> bitmap;
        if (run.captureKind != kCaptureSoundOnly) {
            bitmap = GrabFrame(0, 0, FrameWidth(), FrameHeight());
            // The grab handles pending events: Stop may have been pressed.
            if (!bitmap || !recording_) {
                tickBusy = 0;
                return;
            }
            // The movie may have moved on while the grab handled events: the
            // entry names the frame the picture shows.
            lastFrame = CurrentFrame();
        }
        capturedFrames.Append({std::move(bitmap), elapsed, lastFrame});
        tickBusy = 0;
    }
    if (controls_) controls_->Progress().setValue(lastFrame);
    // The range ends with its out frame: the capture stops once a tick has
    // seen it (or a frame past it), its picture queued and its sound written.
    if (run.autoStop == 1 && lastFrame >= run.endFrame) {
        StopCapture();
        return;
    }
    if (consoleMode) EndStalledConsoleCapture();
}

void MovieWindow::EndStalledConsoleCapture()
{
    CShockwaveFlash* flash = pane_ ? &pane_->flash() : nullptr;
    if (autoRestart == 1 && flash) {
        // Only a movie that stays stopped counts as idle.
        if (flash->IsPlaying()) {
            run.idleTicks = 0;
        } else if (static_cast<uint64_t>(++run.idleTicks) * tickIntervalMs_ >
                   static_cast<uint64_t>(std::max(idleLimitSeconds, 0)) * 1000) {
            if (lastFrame >= run.endFrame) {
                StopCapture();
                return;
            }
            run.idleTicks = 0;
            flash->Play();
            PumpPendingEvents();
            if (!recording_) return;
        }
    }
    // Nobody can press Stop: a movie that loops inside a frame, waits for a
    // click or never reaches the end would otherwise be recorded for ever.
    const uint32_t elapsed = CaptureTickCount(*clock_) - run.startTick;
    if (lastFrame > furthestFrame_) {
        furthestFrame_ = lastFrame;
        progressMs_ = elapsed;
    } else if (elapsed - progressMs_ > ConsoleStallLimitMs(idleLimitSeconds, tickIntervalMs_)) {
        StopCapture();
    }
}

void MovieWindow::RestoreWindow()
{
    setGeometry(run.savedRect);
    run.restored = 1;
    run.shrunk = 0;
}

void MovieWindow::ShrinkWindow()
{
    setGeometry(QRect(run.savedRect.topLeft(), QSize(kShrunkWidth, kShrunkHeight)));
    run.shrunk = 1;
    run.restored = 0;
}

}  // namespace kinolux
