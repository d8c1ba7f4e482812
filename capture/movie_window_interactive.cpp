#include "capture/audio_tap.h"
#include "capture/call_interceptor.h"
#include "capture/capture_control_row.h"
#include "capture/capture_pacing.h"
#include "capture/flash_pane.h"
#include "capture/movie_window.h"
#include "capture/pump_events.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace kinolux {

namespace {

constexpr unsigned long kTakePollMs = 100;

// The window's rectangle at the origin, no larger than the screen's work
// area.
QRect FittedToWorkArea(QSize size)
{
    QRect rect(QPoint(0, 0), size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect work = screen->availableGeometry();
        if (rect.width() > work.width()) rect.setWidth(work.width());
        if (rect.height() > work.height()) rect.setHeight(work.height());
    }
    return rect;
}

}  // namespace

void MovieWindow::StartInteractive(const CaptureRequest& request)
{
    // A capture still running is completed first, so its WAV is whole.
    StopCapture();
    Reset();
    if (!controls_) {
        controls_ = new CaptureControlRow(this);
        connect(&controls_->AutoStop(), &QAbstractButton::clicked, this,
                [this](bool checked) { run.autoStop = checked; });
        connect(&controls_->AutoHide(), &QAbstractButton::clicked, this, &MovieWindow::OnAutoHideClicked);
        connect(&controls_->StopButton(), &QPushButton::clicked, this, &MovieWindow::StopCapture);
    }
    if (!captureTimer_) {
        captureTimer_ = new QTimer(this);
        connect(captureTimer_, &QTimer::timeout, this, &MovieWindow::CaptureTick);
    }
    if (!consoleMode) show();
    capturing = 1;
    ShowCaptureWindow(request);

    run.captureKind = request.captureKind;
    run.moviePath = request.moviePath;
    run.wavPath = request.wavPath;
    run.frameRate = request.frameRate;
    run.startFrame = request.startFrame;
    run.endFrame = request.endFrame;
    // Nobody can press Stop in a console run: it stops by itself at the
    // end of the range, unless the range is too short to be played through.
    run.autoStop = consoleMode && ConsoleRangeStopsAtItsEnd(run.startFrame, run.endFrame) ? 1 : 0;
    run.autoHide = 1;
    controls_->AutoStop().setChecked(run.autoStop == 1);
    controls_->AutoHide().setChecked(true);
    controls_->Progress().setRange(run.startFrame, std::max(run.startFrame, run.endFrame));
    controls_->Progress().setValue(run.startFrame);
    finished = 0;

    // Sound capture starts before the movie does, so that the device opens
    // muted and no sound of the first frames is lost.
    CallInterceptor& interceptor = CallInterceptor::Instance();
    AudioTap& tap = AudioTap::Instance();
    tap.AbandonWav();
    if (run.captureKind > 0) {
        interceptor.SetMode(kModeSoundCapture);
        tap.OpenWav(run.wavPath);
    } else {
        // The movie plays in real time even after a stepped capture.
        interceptor.SetMode(kModePassThrough);
    }
    LoadForInteractive();

    run.startTick = CaptureTickCount(*clock_);
    run.lastTime = 0;
    lastFrame = 0;
    tickBusy = 0;
    soundValuesWritten_ = 0;
    furthestFrame_ = run.startFrame;
    progressMs_ = 0;
    tickIntervalMs_ = CaptureTickIntervalMs(run.frameRate);
    recording_ = true;
    captureTimer_->start(static_cast<int>(tickIntervalMs_));
}

void MovieWindow::ShowCaptureWindow(const CaptureRequest& request)
{
    // The window takes the movie with room for the controls below it.
    SetMovieSize(request.width, request.height);
    run.savedRect = FittedToWorkArea(size());
    setGeometry(run.savedRect);
    if (pane_) pane_->update();
}

void MovieWindow::LoadForInteractive()
{
    if (!pane_) return;
    CShockwaveFlash& flash = pane_->flash();
    flash.StopPlay();
    DropMovie();
    LoadMovieAndWait(run.moviePath);
    // Only a loaded movie can go to its start frame.
    flash.GotoFrame(run.startFrame);
    flash.SetAllowClicks(1);
    PumpPendingEvents();
    flash.Play();
}

int MovieWindow::NextCapturedFrame(CapturedFrame& out)
{
    for (;;) {
        if (capturedFrames.Count() > 0 && capturedFrames.TakeOldest(out)) return 0;
        if (!recording_) {
            // The end marker may have arrived since the count was read;
            // otherwise it was taken already, or no capture was started,
            // and nothing more can arrive.
            if (!capturedFrames.TakeOldest(out)) out = CaptureEndMarker();
            return 0;
        }
        QThread::msleep(kTakePollMs);
    }
}

void MovieWindow::StopCapture()
{
    if (!recording_) return;
    if (captureTimer_) captureTimer_->stop();
    DropMovie();
    if (run.captureKind > 0) AudioTap::Instance().CloseWav();
    CallInterceptor::Instance().SetMode(kModePassThrough);
    hide();
    std::atomic_ref<int32_t>(finished).store(1);
    // Last, so that a taker who sees the marker finds the WAV complete.
    capturedFrames.Append(CaptureEndMarker());
    recording_ = false;
}

int MovieWindow::IsFinished() const
{
    return std::atomic_ref<int32_t>(const_cast<int32_t&>(finished)).load();
}

void MovieWindow::SetAutoRestart(int enable, int seconds)
{
    autoRestart = enable;
    idleLimitSeconds = seconds;
}

void MovieWindow::OnAutoHideClicked(bool checked)
{
    run.autoHide = checked ? 1 : 0;
    if (!checked) RestoreWindow();
}

void MovieWindow::closeEvent(QCloseEvent* event)
{
    StopCapture();
    QDialog::closeEvent(event);
}

void MovieWindow::reject()
{
    StopCapture();
    QDialog::reject();
}

}  // namespace kinolux
