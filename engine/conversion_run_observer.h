// How a conversion run is seen: the progress window in the program, a
// console, or a test. Every call comes on the thread that runs the run,
// whichever thread the news started on.
#pragma once

#include <string>

namespace kinolux {

class CxImage;

class ConversionRunObserver {
public:
    virtual ~ConversionRunObserver() = default;
    // The run has opened and chosen its way: the interactive modes show a
    // status text (and the note on alpha output, when it was asked for),
    // Auto shows the frames.
    virtual void RunOpened(bool interactive, bool alphaNote) = 0;
    // A new percentage, each value once.
    virtual void RunPercent(int percent) = 0;
    // The progress bar alone (a second encoding starts again at 0; the
    // Blu-ray step counts on its own).
    virtual void RunBar(int value) = 0;
    virtual void RunStatus(const std::string& text) = 0;
    virtual void RunPreview(const CxImage& image) = 0;
    // A failure or notice for the user.
    virtual void RunMessage(const std::string& text) = 0;
    // Set while the run waits for the player to show up.
    virtual void RunWaiting(bool waiting) = 0;
};

}  // namespace kinolux
