// The hidden window in which the main program plays movies for capture. It
// owns the pane with the Flash control and offers the engine a few
// operations: size the movie area, load a movie to be stepped under the
// virtual clock, step it by one frame period, grab the control's picture,
// read the current frame, and unload.
//
// Automatic capture runs hidden: SetMovieSize, LoadForCapture, then
// GrabFrame / CurrentFrame / Step for every frame, then Unload. The caller
// puts the interceptor into virtual-clock mode first. The same window, shown
// to the user, runs interactive capture; that side keeps its state in
// `run` and queues its pictures in `capturedFrames`, and a load resets both.
//
// The implementation is split by concern: movie_window.cpp (the window and
// its geometry), movie_window_load.cpp (loading, stepping, unloading, the
// reset), movie_window_grab.cpp (grabbing pictures),
// movie_window_interactive.cpp (starting, stopping and handing out an
// interactive capture) and movie_window_capture_tick.cpp (its recording
// tick).
#pragma once

#include "capture/capture_request.h"
#include "capture/captured_frame_queue.h"
#include "capture/color_ref.h"
#include "capture/settle_delay.h"
#include "platform/clock.h"
#include "platform/report.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class QTimer;

namespace kinolux {

class CaptureControlRow;
class FlashPane;

// The state of one interactive capture: every field goes back to these
// values whenever a movie is loaded or a capture starts.
struct CaptureRunState {
    std::string moviePath;
    std::string wavPath;
    int32_t captureKind = 0;  // as in CaptureRequest
    float frameRate = 0;
    int32_t startFrame = 0;
    int32_t endFrame = 0;
    uint32_t startTick = 0;   // real clock when capture started, ms
    uint32_t lastTime = 0;    // the last real clock reading of the capture tick; 0 before the first
    int32_t autoStop = 0;     // mirrors the "Auto stop" check box
    int32_t autoHide = 1;     // mirrors the "Auto hide play window" check box
    int32_t sameFrameTicks = 0;
    int32_t idleTicks = 0;
    int32_t shrunk = 0;
    int32_t restored = 0;
    QRect savedRect;
};

class MovieWindow : public QDialog {
public:
    // Created hidden. `console` decides how a failure while creating the
    // window is reported (printed, or a message box); by default the
    // process's console mode.
    explicit MovieWindow(QWidget* parent = nullptr, int console = ConsoleMode());
    ~MovieWindow() override;
    MovieWindow(const MovieWindow&) = delete;
    MovieWindow& operator=(const MovieWindow&) = delete;

    void SetConsoleMode(int mode) { consoleMode = mode; }
    // The movie area becomes width x height: the window (with room for the
    // capture controls below), the pane and the control.
    void SetMovieSize(int width, int height);
    // Loads `path` to be stepped under the virtual clock and starts it.
    // Waits up to two seconds for the movie to report ready; one that never
    // does is played anyway. Returns 0.
    int LoadForCapture(const std::string& path);
    // A Windows colour value (0x00BBGGRR) as the movie's background.
    void SetBackgroundColorRef(COLORREF color);
    // Moves the virtual clock on by `ms` (the frame period), lets the movie
    // play its next frame, waits while the engine still draws a large frame
    // (never longer than its settle delay) and handles
    // pending events. Returns 0.
    int Step(unsigned ms);
    // The frame the control shows (0-based).
    int CurrentFrame();
    // The control's picture, at the size of the rectangle; the caller owns
    // it. Unless interactive capture runs, the window, the pane and the
    // control are first moved to the rectangle and pending events handled.
    // Null when there is no control or the picture cannot be made.
    std::unique_ptr<QImage> GrabFrame(int left, int top, int right, int bottom);
    // Moves the window and the control to the rectangle, shows `frame` and
    // grabs it at once, without handling pending events.
    std::unique_ptr<QImage> GrabFrameAt(int frame, int left, int top, int right, int bottom);
    // Back to real time and an empty stage. Returns 0.
    int Unload();

    // Null only when the pane could not be made ("Out of memory").
    FlashPane* Pane() const { return pane_; }
    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_; }
    SettleDelay Settle() const { return settle_; }
    // The clock that a step's settling waits on and an interactive
    // capture's elapsed times are read from; it must outlive the window.
    void UseClock(Clock& clock) { clock_ = &clock; }

    // 1 while interactive capture runs: grabs then leave the window where
    // the user sees it.
    int capturing = 0;
    // 1 in command-line mode: failures are printed instead of shown.
    int consoleMode = 0;
    // The interactive capture's state and its pictures for the engine.
    CaptureRunState run;
    CapturedFrameQueue capturedFrames;
    int32_t lastFrame = 0;  // last frame the capture tick saw; 0 after a load
    int32_t tickBusy = 0;   // re-entry guard of the capture tick
    int32_t finished = 0;   // 1 once interactive capture has stopped
    // Command-line runs only: a movie that stopped playing for this long is
    // played on (or, near the end of the range, the capture stops).
    int32_t autoRestart = 0;
    int32_t idleLimitSeconds = 5;

    // ---- movie_window_interactive.cpp ----
    // Shows the movie at the request's size (unless in console mode) and
    // records it until StopCapture: pictures into `capturedFrames`, sound
    // into the request's WAV file.
    void StartInteractive(const CaptureRequest& request);
    // Runs on the engine's worker thread and handles no events: waits in
    // 100 ms steps for the oldest queued entry and moves it into `out`
    // (the caller owns its picture). Returns 0. Once the capture has ended
    // and its end marker was taken, every further call hands out another end
    // marker at once instead of waiting for ever.
    int NextCapturedFrame(CapturedFrame& out);
    // Ends the capture: the movie is dropped, the end marker queued, the WAV
    // completed, the window hidden. Harmless when no capture runs.
    void StopCapture();
    // 1 once the capture has stopped; safe from any thread.
    int IsFinished() const;
    void SetAutoRestart(int enable, int seconds);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Closing the window (or Escape) stops the capture.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // ---- movie_window.cpp ----
    // The pane fills the client area above the 40-pixel row of controls.
    void LayOutClientArea(QSize client);
    // Gives the control `rect` (in its parent, the pane's content), so its
    // pictures are that size.
    void PlaceControl(const QRect& rect);

    // ---- movie_window_load.cpp ----
    // Forgets the last capture: `run`, the queue, the counters, and works
    // out the settle delay for the current movie size.
    void Reset();
    // Hands the control `path` and waits a little for it to report ready;
    // a movie that never does is played anyway.
    void LoadMovieAndWait(const std::string& path);
    // Leaves the control with an empty stage.
    void DropMovie();

    // ---- movie_window_grab.cpp ----
    // Paints the control's current frame into a new picture of its size.
    std::unique_ptr<QImage> Grab();

    // ---- movie_window_capture_tick.cpp ----
    // Samples the movie every three frame periods while capturing.
    void CaptureTick();
    // Moves the window to `savedRect` at full size, or shrinks it to its
    // top-left corner while the movie runs.
    void RestoreWindow();
    void ShrinkWindow();
    // Console runs: plays on a movie that stayed stopped for the idle limit
    // (or stops near the end of the range), and stops a capture whose movie
    // has made no progress for a while.
    void EndStalledConsoleCapture();

    // ---- movie_window_interactive.cpp ----
    void ShowCaptureWindow(const CaptureRequest& request);
    void LoadForInteractive();
    void OnAutoHideClicked(bool checked);

    FlashPane* pane_ = nullptr;  // a child: deleted with the window
    CaptureControlRow* controls_ = nullptr;  // a child, made by the first capture
    QTimer* captureTimer_ = nullptr;         // a child, made by the first capture
    // True from the start of a capture until its end marker is queued; the
    // worker thread reads it.
    std::atomic<bool> recording_{false};
    uint32_t tickIntervalMs_ = 0;
    uint32_t soundStartMs_ = 0;        // real clock of the first tick
    uint64_t soundValuesWritten_ = 0;  // since soundStartMs_
    int32_t furthestFrame_ = 0;        // the furthest frame the ticks have seen
    uint32_t progressMs_ = 0;          // elapsed time when it was first seen
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    SettleDelay settle_;
    Clock* clock_ = &realClock();
};

}  // namespace kinolux
