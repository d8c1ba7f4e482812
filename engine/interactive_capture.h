// What a conversion in the interactive modes needs of the capture that
// records the movie while the user watches it: the movie window offers it
// in the program (conversion_window/movie_window_capture.h), tests play it.
#pragma once

#include "capture/capture_request.h"
#include "engine/frame_supply.h"

namespace kinolux {

class InteractiveCapture : public CapturedFrameSource {
public:
    // Shows the movie and records it: pictures into the queue that Next
    // takes from, sound into the request's WAV file.
    virtual void Start(const CaptureRequest& request) = 0;
    // Ends the recording and queues the end marker; harmless when none runs.
    virtual void Stop() = 0;
    // True once the recording has ended; safe from any thread.
    virtual bool IsFinished() = 0;
    // Command-line runs: a movie that stopped playing for `seconds` is
    // played on, or near the end of its range ends the capture.
    virtual void SetAutoRestart(int enable, int seconds) = 0;
};

}  // namespace kinolux
