#include "conversion_window/movie_window_frame_source.h"

#include "capture/flash_pane.h"
#include "capture/movie_window.h"

namespace kinolux {

void MovieWindowFrameSource::SetMovieSize(int width, int height) { window_.SetMovieSize(width, height); }
void MovieWindowFrameSource::LoadForCapture(const std::string& path) { window_.LoadForCapture(path); }
void MovieWindowFrameSource::SetBackgroundColorRef(COLORREF color) { window_.SetBackgroundColorRef(color); }
void MovieWindowFrameSource::GoToFrame(int frame) {
    if (!window_.Pane()) return;
    window_.Pane()->flash().GotoFrame(frame);
    window_.Pane()->flash().Play();
}

void MovieWindowFrameSource::Step(unsigned ms) { window_.Step(ms); }
int MovieWindowFrameSource::CurrentFrame() { return window_.CurrentFrame(); }

std::unique_ptr<QImage> MovieWindowFrameSource::GrabFrame(int left, int top, int right, int bottom) {
    return window_.GrabFrame(left, top, right, bottom);
}

void MovieWindowFrameSource::Unload() {
    window_.hide();
    window_.Unload();
}

}  // namespace kinolux
