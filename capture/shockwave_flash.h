// The wrapper through which both programs drive the Flash control: a widget
// that holds the engine module's control as its only child, filling it, and
// offers one method per operation of the control's interface, each a call by
// dispatch id through the module's invoke entry. It also filters the mouse
// before the control sees it, forwards the print path (painting the current
// frame into a picture it is handed) and passes the ready-state event on.
//
// When the module cannot be loaded the wrapper stays empty: every operation
// then does nothing and reads 0 or "", and CreationError says why.
#pragma once

#include "capture/color_ref.h"
#include "capture/flash_control_module.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <string>

namespace kinolux {

class CShockwaveFlash : public QWidget {
public:
    // Creates the control with the given item id (kept as the widget's
    // "itemId" property, as a dialog item's id).
    explicit CShockwaveFlash(QWidget* parent = nullptr, int itemId = 0);
    ~CShockwaveFlash() override;
    CShockwaveFlash(const CShockwaveFlash&) = delete;
    CShockwaveFlash& operator=(const CShockwaveFlash&) = delete;

    bool IsCreated() const { return control_ != nullptr; }
    const std::string& CreationError() const { return creationError_; }
    // The module's control widget, or null.
    QWidget* Control() const { return control_; }

    // ---- the control's interface, by dispatch id ----
    long GetTotalFrames();
    void SetScaleMode(long mode);        // 0 show all, 1 no border, 2 exact fit, 3 no scale
    void SetBackgroundColor(long rgb);   // 0xRRGGBB
    std::string GetMovie();
    void SetMovie(const std::string& path);
    long GetFrameNum();
    void SetFrameNum(long frame);
    void Zoom(int percent);
    void Play();
    void Stop();
    void StopPlay();
    void GotoFrame(long frame);
    long CurrentFrame();
    bool IsPlaying();
    void LoadMovie(int layer, const std::string& url);

    // ---- host operations ----
    // 1 while the user may click into the movie; 0 swallows left presses.
    void SetAllowClicks(int allow) { allowClicks_ = allow; }
    int AllowClicks() const { return allowClicks_; }
    // A Windows colour value 0x00BBGGRR as the control's background.
    void SetBackgroundColorRef(COLORREF color) { SetBackgroundColor(RgbFromColorRef(color)); }
    // Paints the control's current frame into `picture` (the print path).
    // False when there is no control or no picture.
    bool PrintInto(QImage& picture);
    // True while the frame the control moved to is still being drawn, as
    // the engine says; an engine that cannot say counts as still drawing.
    bool FrameStillDrawing() const;
    // Called with the new state whenever the control's ready state changes.
    void SetReadyStateHandler(std::function<void(int)> handler) { readyStateHandler_ = std::move(handler); }

    // The outcome of the last operation (0 for success).
    std::int32_t LastResult() const { return lastResult_; }

protected:
    // The input filter: right presses and double clicks never reach the
    // control; left ones only while clicks are allowed.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // One late-bound call: the InvokeHelper of the control's interface. The
    // result is empty when there is no control or the call fails.
    FlashVariant InvokeHelper(std::int32_t dispid, std::uint16_t flags, std::initializer_list<FlashVariant> args = {});
    long IntegerOf(FlashVariant result);
    // The control fills the wrapper. A hidden widget hears of its resizes
    // only when shown, so the print path fits the control first too.
    void FitControl();
    static void OnControlEvent(void* context, std::int32_t dispid, const FlashVariant* args, std::uint32_t count);

    const FlashControlEntries* module_ = nullptr;
    QWidget* control_ = nullptr;  // a child: deleted with the wrapper
    std::string creationError_;
    int allowClicks_ = 0;
    std::int32_t lastResult_ = 0;
    std::function<void(int)> readyStateHandler_;
};

}  // namespace kinolux
