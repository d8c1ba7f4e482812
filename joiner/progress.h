// Progress through the caller's callback, and its answer: a callback that
// returns anything but 0 stops the work (Failure with NX_ERROR_CANCELLED).
// Reports are only made when the shown value changes, so a long stream
// costs the caller at most a few hundred calls.
#pragma once

#include <cstdint>

#include "bindings/joiner.h"

namespace joiner {

class Progress {
public:
    explicit Progress(NX_PROGRESS_CALLBACK callback) : callback_(callback) {}

    // Kind 1: `done` of `total` as a percentage.
    void Fraction(uint64_t done, uint64_t total, const char* text);
    // Kind 2: what is left of the total the track info announced.
    void Remaining(int32_t left, int32_t total, const char* text);

private:
    void Report(int32_t kind, int32_t value, const char* text);

    NX_PROGRESS_CALLBACK callback_;
    int32_t lastKind_ = -1;
    int32_t lastValue_ = -1;
};

}  // namespace joiner
