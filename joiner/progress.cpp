#include "joiner/progress.h"

#include "joiner/failure.h"

namespace joiner {

void Progress::Fraction(uint64_t done, uint64_t total, const char* text) {
    const int32_t percent = total == 0 ? 100 : static_cast<int32_t>(done * 100 / total);
    if (lastKind_ == 1 && percent == lastValue_) return;
    Report(1, percent, text);
}

void Progress::Remaining(int32_t left, int32_t total, const char* text) {
    // A step of a percent of the total at least, and always the end.
    const int32_t step = total / 100 > 0 ? total / 100 : 1;
    if (lastKind_ == 2 && left != 0 && lastValue_ - left < step) return;
    Report(2, left, text);
}

void Progress::Report(int32_t kind, int32_t value, const char* text) {
    lastKind_ = kind;
    lastValue_ = value;
    if (callback_ && callback_(kind, value, text) != 0)
        throw Failure(NX_ERROR_CANCELLED, "The Blu-ray folder was cancelled.");
}

}  // namespace joiner
