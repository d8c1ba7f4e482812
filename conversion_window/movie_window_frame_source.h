// The movie window as the frame source of a conversion run.
#pragma once

#include "engine/frame_source.h"

namespace kinolux {

class MovieWindow;

class MovieWindowFrameSource : public FrameSource {
public:
    explicit MovieWindowFrameSource(MovieWindow& window) : window_(window) {}
    void SetMovieSize(int width, int height) override;
    void LoadForCapture(const std::string& path) override;
    void SetBackgroundColorRef(COLORREF color) override;
    void GoToFrame(int frame) override;
    void Step(unsigned ms) override;
    int CurrentFrame() override;
    std::unique_ptr<QImage> GrabFrame(int left, int top, int right, int bottom) override;
    void Unload() override;

private:
    MovieWindow& window_;
};

}  // namespace kinolux
