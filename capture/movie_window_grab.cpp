#include "capture/flash_pane.h"
#include "capture/movie_window.h"
#include "capture/pump_events.h"

#include <cstdint>

namespace kinolux {

namespace {

// The largest picture side a grab attempts, as large as the renderer's own
// tools draw: a larger rectangle (a mistaken size) would ask for gigabytes
// and minutes of painting, so it gives no picture at once.
constexpr int kLargestPictureSide = 16384;

// The rectangle between the edges; empty when it is no picture's size
// (the sides are worked out wide, so no edges can overflow them).
QRect RectFromEdges(int left, int top, int right, int bottom)
{
    const int64_t width = int64_t(right) - left;
    const int64_t height = int64_t(bottom) - top;
    if (width <= 0 || height <= 0 || width > kLargestPictureSide || height > kLargestPictureSide) return {};
    return QRect(left, top, int(width), int(height));
}

bool CanHoldPicture(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kLargestPictureSide &&
           size.height() <= kLargestPictureSide;
}

}  // namespace

std::unique_ptr<QImage> MovieWindow::GrabFrame(int left, int top, int right, int bottom)
{
    if (!pane_) return nullptr;
    if (capturing == 0) {
        const QRect rect = RectFromEdges(left, top, right, bottom);
        if (rect.isEmpty()) return nullptr;
        setGeometry(rect);
        pane_->SetContentSize(rect.width(), rect.height());
        pane_->setGeometry(rect);
        PlaceControl(rect);
    }
    PumpPendingEvents();
    return Grab();
}

std::unique_ptr<QImage> MovieWindow::GrabFrameAt(int frame, int left, int top, int right, int bottom)
{
    if (!pane_) return nullptr;
    const QRect rect = RectFromEdges(left, top, right, bottom);
    if (rect.isEmpty()) return nullptr;
    setGeometry(rect);
    PlaceControl(rect);
    update();
    pane_->flash().SetFrameNum(frame);
    return Grab();
}

std::unique_ptr<QImage> MovieWindow::Grab()
{
    CShockwaveFlash& flash = pane_->flash();
    // The picture is made at the control's own size: a frame larger than a
    // picture may be, or than memory allows, gives a null picture, which the
    // caller counts as a failed frame.
    if (!CanHoldPicture(flash.size())) return nullptr;
    auto picture = std::make_unique<QImage>(flash.size(), QImage::Format_ARGB32_Premultiplied);
    if (picture->isNull() || !flash.PrintInto(*picture)) return nullptr;
    return picture;
}

}  // namespace kinolux
