#include "capture/movie_window.h"

#include "bindings/veneer.h"
#include "capture/dialog_units.h"
#include "capture/flash_pane.h"
#include "profiles/language_manager.h"

#include <QResizeEvent>
#include <algorithm>
#include <new>

namespace kinolux {

namespace {

// The window's template: 214 x 160 dialog units.
const QRect kWindowUnits(0, 0, 214, 160);
// Below the movie, the window keeps this much room for the capture
// controls, and the pane leaves the lowest 40 pixels of it to them.
constexpr int kRoomBelowMovie = 50;
constexpr int kControlRowHeight = 40;

}  // namespace

MovieWindow::MovieWindow(QWidget* parent, int console) : QDialog(parent), consoleMode(console)
{
    setWindowTitle(QString::fromStdString(Text("CAPTURECTRL_DLG", "strTitleInfo")));
    resize(DialogUnitsToPixels(*this, kWindowUnits).size());
    QVS_AddFilterHook(this);
    try {
        pane_ = new FlashPane(this);
    } catch (const std::bad_alloc&) {
        pane_ = nullptr;
        if (consoleMode)
            WriteConsoleLine("Out of memory");
        else
            ReportMessage("Out of memory");
    }
    // Shown only by interactive capture.
    setVisible(capturing == 1);
    LayOutClientArea(size());
}

// A window destroyed mid-capture still completes its WAV and puts the
// clock back, as closing it would.
MovieWindow::~MovieWindow() { StopCapture(); }

void MovieWindow::SetMovieSize(int width, int height)
{
    frameWidth_ = width;
    frameHeight_ = height;
    resize(width, height + kRoomBelowMovie);
    move(0, 0);
    if (pane_) {
        pane_->SetContentSize(width, height);
        PlaceControl(QRect(0, 0, width, height));
    }
    LayOutClientArea(size());
}

void MovieWindow::SetBackgroundColorRef(COLORREF color)
{
    if (pane_) pane_->flash().SetBackgroundColorRef(color);
}

void MovieWindow::resizeEvent(QResizeEvent* event)
{
    LayOutClientArea(event->size());
}

void MovieWindow::LayOutClientArea(QSize client)
{
    if (pane_) pane_->setGeometry(0, 0, client.width(), std::max(0, client.height() - kControlRowHeight));
}

void MovieWindow::PlaceControl(const QRect& rect)
{
    pane_->flash().setGeometry(rect);
}

}  // namespace kinolux
