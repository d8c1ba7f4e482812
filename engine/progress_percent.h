// The percentage a conversion shows for the movie frame it has reached.
#pragma once

#include <cstdint>
#include <optional>

namespace kinolux {

// (frame - in) x 100 / (out - in), integer division, at most 100; a range
// of 0 or less counts as 1.
int ProgressPercent(int64_t frame, int32_t inFrame, int32_t outFrame);

// Remembers the last percentage shown, so that each value is shown once.
class PercentTracker {
public:
    // The percentage when it differs from the last one, else nothing.
    std::optional<int> Next(int percent);
    void Reset() { last_ = -1; }

private:
    int last_ = -1;
};

}  // namespace kinolux
