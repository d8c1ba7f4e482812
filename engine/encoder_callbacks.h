// The encoder's callbacks carry no pointer of their caller's, so they find
// the run whose encoding is under way here. One run encodes at a time; an
// ActiveRunScope makes a run the one for as long as it lives.
#pragma once

#include "bindings/castor.h"

namespace kinolux {

class ConversionRun;

class ActiveRunScope {
public:
    explicit ActiveRunScope(ConversionRun& run);
    ~ActiveRunScope();
    ActiveRunScope(const ActiveRunScope&) = delete;
    ActiveRunScope& operator=(const ActiveRunScope&) = delete;

private:
    ConversionRun* previous_;
};

// The frame callback registered with the encoder: -1 without an active run.
int FrameCallback(int request, FrameInfo* record);
// The progress callbacks of an encoding from frames and of the final
// encoding of two passes: -1 (stop) without an active run.
int EncodeProgress(const char* text, double value);
int FileEncodeProgress(const char* text, double value);

}  // namespace kinolux
