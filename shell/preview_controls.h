// The preview half of the main window: the engine's own control showing the
// selected task's movie (a player of its own beside the capture window's),
// and around it the frame buttons, the frame slider with the in-out band,
// the frame display, the in and out marks, zoom, the scale modes, the
// movie's background colour and the picture capture. The rules live in
// preview_frames.h and frame_snapshot.h; this side carries them out on the
// widgets and the selected task.
//
// The movie plays in real time with its sound on the machine's sound
// device (silently where there is none). Its time, and the 20 ms refresh
// of the frame display, come from one clock, which tests move by hand.
#pragma once

#include "capture/color_ref.h"
#include "platform/clock.h"
#include "profiles/dialog_table.h"
#include "shell/preview_frames.h"

#include <QObject>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

class QDialog;

namespace kinolux {

class CShockwaveFlash;
class MovieWindow;
class TaskListModel;
struct ConversionTask;

class PreviewControls : public QObject {
public:
    // Item ids of the preview's controls in the main window.
    enum Item {
        kPreview = 1000,
        kPlay = 1002,
        kPause = 1021,
        kFirst = 1003,
        kPrevious = 1005,
        kNext = 1004,
        kLast = 1006,
        kCapture = 1008,
        kMarkIn = 1011,
        kMarkOut = 1026,
        kZoomIn = 1029,
        kZoomOut = 1030,
        kZoomReset = 1032,
        kShowAll = 1027,
        kRealSize = 1034,
        kStretch = 1028,
        kBackground = 1092,
        kFrameDisplay = 1099,
        kSlider = 1012,
    };

    // The controls become children of `window` (in its dialog units), the
    // preview at `previewUnits`. `selectedRow` gives the one selected row
    // of `tasks`, or -1 (saying so when asked and none is selected).
    PreviewControls(QDialog& window, const QRect& previewUnits, TaskListModel& tasks, MovieWindow& movieWindow,
                    std::function<int(bool sayWhenNone)> selectedRow);
    ~PreviewControls() override;
    PreviewControls(const PreviewControls&) = delete;
    PreviewControls& operator=(const PreviewControls&) = delete;

    CShockwaveFlash& Flash() const { return *flash_; }
    QWidget* Control(int id) const { return table_->Widget(id); }
    template <class T>
    T* Get(int id) const {
        return table_->Get<T>(id);
    }

    // The clock the movie plays by and the frame display is refreshed by;
    // it must outlive the preview.
    void UseClock(Clock& clock);
    // What opens a saved picture; the desktop's handler unless replaced.
    void SetPictureOpener(std::function<void(const std::string& path)> open) { openPicture_ = std::move(open); }

    // The task's movie was loaded: the slider spans its frames with the
    // band over its range, the display and the slider show the frame the
    // preview shows, and the background is the task's.
    void ShowTask(const ConversionTask& task);

    // ---- the buttons ----
    void Play();
    void Pause();
    void Step(FrameStep step);
    void MarkIn();
    void MarkOut();
    // Percent of the view, as the control takes it: 50 in, 200 out, 0 all.
    void Zoom(int percent);
    // 0 show all, 2 exact fit, 3 no scale.
    void SetScaleMode(long mode);
    void ChooseBackground();
    void CapturePicture();

private:
    void BuildControls(QDialog& window, const QRect& previewUnits);
    void Connect();
    void OnSliderAction();
    void OnRefreshTimer();
    // The display and the thumb at `frame`.
    void ShowFrame(long frame);
    void ShowBackground(COLORREF colour);
    // The selected task, or null (with the message when none is selected).
    ConversionTask* SelectedTask(int* row = nullptr);
    // Marks the selected task's in or out point at the shown frame, or says
    // why the mark was refused.
    void MarkAtCurrentFrame(MarkOutcome (*mark)(ConversionTask&, int64_t), const char* refusalKey);

    QDialog& window_;
    TaskListModel& tasks_;
    MovieWindow& movieWindow_;
    std::function<int(bool)> selectedRow_;
    std::function<void(const std::string&)> openPicture_;
    std::unique_ptr<DialogTable> table_;
    CShockwaveFlash* flash_ = nullptr;  // a child of the window
    Clock* clock_ = &realClock();
    FrameDisplayPacer pacer_;
    QTimer refreshTimer_;
};

}  // namespace kinolux
