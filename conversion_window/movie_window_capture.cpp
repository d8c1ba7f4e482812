#include "conversion_window/movie_window_capture.h"

#include "capture/movie_window.h"

namespace kinolux {

void MovieWindowCapture::Start(const CaptureRequest& request) { window_.StartInteractive(request); }
void MovieWindowCapture::Next(CapturedFrame& out) { window_.NextCapturedFrame(out); }
void MovieWindowCapture::Stop() { window_.StopCapture(); }
bool MovieWindowCapture::IsFinished() { return window_.IsFinished() != 0; }
void MovieWindowCapture::SetAutoRestart(int enable, int seconds) { window_.SetAutoRestart(enable, seconds); }

}  // namespace kinolux
