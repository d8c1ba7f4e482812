// The control that stands in for the Flash control: a widget that plays one
// movie at a time on the engine module's imported clock, draws it at its
// own size by its scale mode, zoom and background colour, and forwards the
// mouse to the movie. It keeps its own state: the movie it was given, the
// view settings, the event sink. The dispatch interface (dispatch.h) and
// the module's C entries (control_entries.h) drive it.
#pragma once

#include "flash/control/control_entries.h"
#include "flash/module/movie_playback.h"
#include "flash/render/view.h"

#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <string>

namespace flash {

class FlashControl final : public QWidget {
public:
    explicit FlashControl(QWidget* parent);
    ~FlashControl() override;

    // ---- the operations of the dispatch interface ----
    // Frames of the movie's main timeline; 0 on an empty stage.
    int totalFrames() const;
    // 0-based; 0 on an empty stage.
    int currentFrame() const;
    bool isPlaying() const;
    // Goes to a 0-based frame (clamped to the timeline), playing or stopped
    // as before.
    void gotoFrame(int frame);
    // The main timeline plays (or stops); the clock is read at once, so a
    // frame that is due runs before play() returns.
    void play();
    void stop();

    // The text the movie was last set to. Setting it loads that movie and
    // plays it: a file path or a file:// address. "", a name "null.swf"
    // and anything that cannot be read leave an empty stage.
    const std::string& movie() const { return movie_; }
    void setMovie(const std::string& address);
    // Level 0 replaces the movie ("" empties the stage) without changing the
    // movie text. Other levels are not supported: false.
    bool loadMovie(int level, const std::string& address);

    void setScaleMode(render::ScaleMode mode);
    // 0xRRGGBB drawn under everything; negative: the movie's own colour.
    void setBackgroundColor(std::int32_t rgb);
    // Percent of the current view to show, around its centre: 50 doubles
    // the picture, 200 halves it again; 0 goes back to the whole movie. The
    // view never shows less than 1/kMaxZoom of the movie nor more than all
    // of it. False for a negative percent.
    bool zoom(int percent);
    static constexpr double kMaxZoom = 100;

    // ---- the module's other entries ----
    void setEventSink(FlashEventSink sink, void* context);
    // The current frame at the control's size, into the top-left of picture.
    void print(QImage& picture);

    // Why the last movie could not be loaded, or "".
    const std::string& loadError() const { return loadError_; }
    // The last mouse position the movie was given, in stage pixels.
    QPointF pointerOnStage() const { return pointer_; }
    bool pointerDown() const { return pointerDown_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void load(const std::string& address);
    void poll();
    void schedulePoll(const PlaybackStep& step);
    // The current frame at the widget's size, drawn once per frame.
    const QImage& picture();
    void frameChanged();
    render::RenderOptions renderOptions() const;
    void pointerAt(QPointF widgetPoint);
    void fireEvent(std::int32_t dispid, std::int32_t argument);

    MovieSound sound_;
    std::unique_ptr<MoviePlayback> playback_;  // after the sound it uses: gone first
    QTimer pollTimer_;
    std::string movie_;
    std::string loadError_;
    render::ScaleMode scaleMode_ = render::ScaleMode::ShowAll;
    double zoom_ = 1;
    std::optional<QColor> background_;
    QImage picture_;
    bool pictureCurrent_ = false;
    QPointF pointer_;
    bool pointerDown_ = false;
    FlashEventSink sink_ = nullptr;
    void* sinkContext_ = nullptr;
};

}  // namespace flash
