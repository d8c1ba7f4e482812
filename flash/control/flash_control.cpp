#include "flash/control/flash_control.h"

#include "flash/control/movie_address.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace flash {

namespace {

// However far off the next frame is, the clock is looked at this often, so a
// clock that jumps (the capture's) is seen soon even without a Play.
constexpr double kLongestPollMs = 10;

const QColor kEmptyStageColor(255, 255, 255);

}  // namespace

FlashControl::FlashControl(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    pollTimer_.setSingleShot(true);
    pollTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pollTimer_, &QTimer::timeout, this, [this] { poll(); });
}

FlashControl::~FlashControl() = default;

int FlashControl::totalFrames() const
{
    return playback_ ? playback_->player().totalFrames() : 0;
}

int FlashControl::currentFrame() const
{
    return playback_ ? playback_->player().currentFrame() : 0;
}

bool FlashControl::isPlaying() const
{
    return playback_ && playback_->player().isPlaying();
}

void FlashControl::gotoFrame(int frame)
{
    if (!playback_) return;
    playback_->gotoFrame(frame);
    frameChanged();
    update();
}

void FlashControl::play()
{
    if (!playback_) return;
    playback_->player().play();
    // The capture steps the movie by moving the clock and calling Play: the
    // frame must have run by the time it pumps the events.
    poll();
}

void FlashControl::stop()
{
    if (playback_) playback_->player().stop();
}

void FlashControl::setMovie(const std::string& address)
{
    movie_ = address;
    load(address);
}

bool FlashControl::loadMovie(int level, const std::string& address)
{
    if (level != 0) return false;
    load(address);
    return true;
}

void FlashControl::load(const std::string& address)
{
    pollTimer_.stop();
    playback_.reset();
    loadError_.clear();
    frameChanged();
    update();

    const MovieAddress where = resolveMovieAddress(address);
    if (!where.error.empty()) loadError_ = where.error;
    if (where.path.empty()) return;
    std::unique_ptr<Engine> engine = Engine::fromFile(where.path, &loadError_);
    if (!engine) return;
    playback_ = std::make_unique<MoviePlayback>(std::move(engine), sound_);
    // The clock is first read by the next poll, not here: a host may still
    // set its clock up between loading the movie and playing it.
    pollTimer_.start(0);
    fireEvent(FLASH_DISPID_READYSTATECHANGE, FLASH_READYSTATE_COMPLETE);
}

void FlashControl::setScaleMode(render::ScaleMode mode)
{
    scaleMode_ = mode;
    frameChanged();
    update();
}

void FlashControl::setBackgroundColor(std::int32_t rgb)
{
    if (rgb < 0)
        background_.reset();
    else
        background_ = QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    frameChanged();
    update();
}

bool FlashControl::zoom(int percent)
{
    if (percent < 0) return false;
    zoom_ = percent == 0 ? 1 : std::clamp(zoom_ * 100.0 / percent, 1.0, kMaxZoom);
    frameChanged();
    update();
    return true;
}

void FlashControl::setEventSink(FlashEventSink sink, void* context)
{
    sink_ = sink;
    sinkContext_ = sink ? context : nullptr;
}

void FlashControl::print(QImage& target)
{
    const QImage& current = picture();
    if (current.isNull() || target.isNull()) return;
    if (target.size() == current.size() && target.format() == current.format()) {
        target = current;
        return;
    }
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, current);
}

void FlashControl::poll()
{
    if (!playback_) return;
    const PlaybackStep step = playback_->poll();
    // Behind its clock the movie runs its frames undrawn until it has caught
    // up: drawings are dropped, never sound.
    if (step.frameRan) {
        frameChanged();
        if (!step.behind) update();
    }
    schedulePoll(step);
}

void FlashControl::schedulePoll(const PlaybackStep& step)
{
    const double wait = step.behind || step.msUntilDue <= 0 ? 0 : std::clamp(std::ceil(step.msUntilDue), 1.0, kLongestPollMs);
    pollTimer_.start(int(wait));
}

const QImage& FlashControl::picture()
{
    if (pictureCurrent_ && picture_.size() == size()) return picture_;
    if (picture_.size() != size()) picture_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    if (picture_.isNull()) return picture_;
    if (playback_)
        playback_->engine().render(picture_, renderOptions());
    else
        picture_.fill(background_.value_or(kEmptyStageColor));
    pictureCurrent_ = true;
    return picture_;
}

void FlashControl::frameChanged()
{
    pictureCurrent_ = false;
}

render::RenderOptions FlashControl::renderOptions() const
{
    render::RenderOptions options;
    options.scaleMode = scaleMode_;
    options.zoom = zoom_;
    options.background = background_;
    return options;
}

void FlashControl::paintEvent(QPaintEvent*)
{
    const QImage& current = picture();
    if (current.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, current);
}

void FlashControl::resizeEvent(QResizeEvent*)
{
    frameChanged();
}

void FlashControl::pointerAt(QPointF widgetPoint)
{
    if (!playback_) return;
    const Player& player = playback_->player();
    const QTransform view =
        render::viewTransform(player.stageRect(), size(), scaleMode_, zoom_);
    bool invertible = false;
    const QTransform toStage = view.inverted(&invertible);
    if (!invertible) return;
    const QPointF twips = toStage.map(widgetPoint);
    pointer_ = QPointF(twips.x() / 20.0, twips.y() / 20.0);
}

void FlashControl::mousePressEvent(QMouseEvent* event)
{
    pointerAt(event->position());
    if (event->button() == Qt::LeftButton) pointerDown_ = true;
}

void FlashControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The movie sees a double click as the second press it is.
    mousePressEvent(event);
}

void FlashControl::mouseReleaseEvent(QMouseEvent* event)
{
    pointerAt(event->position());
    if (event->button() == Qt::LeftButton) pointerDown_ = false;
}

void FlashControl::mouseMoveEvent(QMouseEvent* event)
{
    pointerAt(event->position());
}

void FlashControl::fireEvent(std::int32_t dispid, std::int32_t argument)
{
    if (!sink_) return;
    const FlashVariant state{FLASH_VT_I4, argument, nullptr};
    sink_(sinkContext_, dispid, &state, 1);
}

}  // namespace flash
