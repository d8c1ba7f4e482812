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
// reset), movie_window_grab.cpp (grabbing pictures).
#pragma once

#include "capture/captured_frame_queue.h"
#include "capture/color_ref.h"
#include "capture/settle_delay.h"
#include "platform/report.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <memory>
#include <string>

namespace kinolux {

class FlashPane;

// The state of one interactive capture: every field goes back to these
// values whenever a movie is loaded or a capture starts.
struct CaptureRunState {
    std::string moviePath;
    std::string wavPath;
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
    // play its next frame, waits for large frames to settle and handles
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

protected:
    void resizeEvent(QResizeEvent* event) override;

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

    // ---- movie_window_grab.cpp ----
    // Paints the control's current frame into a new picture of its size.
    std::unique_ptr<QImage> Grab();

    FlashPane* pane_ = nullptr;  // a child: deleted with the window
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    SettleDelay settle_;
};

}  // namespace kinolux
