#include "capture/flash_pane.h"
#include "capture/movie_window.h"
#include "capture/pump_events.h"

namespace kinolux {

namespace {

QRect RectFromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

std::unique_ptr<QImage> MovieWindow::GrabFrame(int left, int top, int right, int bottom)
{
    if (!pane_) return nullptr;
    if (capturing == 0) {
        const QRect rect = RectFromEdges(left, top, right, bottom);
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
    setGeometry(rect);
    PlaceControl(rect);
    update();
    pane_->flash().SetFrameNum(frame);
    return Grab();
}

std::unique_ptr<QImage> MovieWindow::Grab()
{
    CShockwaveFlash& flash = pane_->flash();
    // The picture is made at the control's own size: a frame much larger
    // than memory allows gives a null picture, which the caller counts as a
    // failed frame.
    auto picture = std::make_unique<QImage>(flash.size(), QImage::Format_ARGB32_Premultiplied);
    if (picture->isNull() || !flash.PrintInto(*picture)) return nullptr;
    return picture;
}

}  // namespace kinolux
