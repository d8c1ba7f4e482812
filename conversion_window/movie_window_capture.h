// The movie window's interactive capture as the conversion run uses it.
#pragma once

#include "engine/interactive_capture.h"

namespace kinolux {

class MovieWindow;

class MovieWindowCapture : public InteractiveCapture {
public:
    explicit MovieWindowCapture(MovieWindow& window) : window_(window) {}
    void Start(const CaptureRequest& request) override;
    void Next(CapturedFrame& out) override;
    void Stop() override;
    bool IsFinished() override;
    void SetAutoRestart(int enable, int seconds) override;

private:
    MovieWindow& window_;
};

}  // namespace kinolux
