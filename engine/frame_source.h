// What a conversion needs of the window that plays the movie for it: size
// the movie area, load the movie to be stepped under the virtual clock,
// step it, read its frame, grab its picture, and drop it again. The movie
// window offers it in the program; tests may play it.
#pragma once

#include "capture/color_ref.h"

#include <QImage>
#include <memory>
#include <string>

namespace kinolux {

class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual void SetMovieSize(int width, int height) = 0;
    // Loads `path` to be stepped under the virtual clock and starts it.
    virtual void LoadForCapture(const std::string& path) = 0;
    // A Windows colour value (0x00BBGGRR) as the movie's background.
    virtual void SetBackgroundColorRef(COLORREF color) = 0;
    // Goes to `frame` (0-based) and plays on from there.
    virtual void GoToFrame(int frame) = 0;
    // Moves the movie on by `ms` of its clock and lets it play that time.
    virtual void Step(unsigned ms) = 0;
    // The frame the movie shows (0-based).
    virtual int CurrentFrame() = 0;
    // The movie's picture at the rectangle's size; null when none can be made.
    virtual std::unique_ptr<QImage> GrabFrame(int left, int top, int right, int bottom) = 0;
    // Back to real time and an empty stage, out of sight.
    virtual void Unload() = 0;
};

}  // namespace kinolux
