// An event sound's volume envelope: left and right levels interpolated
// linearly between points, the first point's levels before it and the last
// point's after it.
#pragma once

#include "flash/audio/sound_info.h"

#include <cstddef>
#include <vector>

namespace kinolux::audio {

struct Gains {
    float left = 1, right = 1;
};

class EnvelopeCursor {
public:
    // `points` must outlive the cursor; they are used in the order given,
    // positions that go backwards count as the previous position.
    EnvelopeCursor(const std::vector<EnvelopePoint>& points, std::uint64_t position);
    // The gains at the current position, then one frame on.
    Gains next();

private:
    const std::vector<EnvelopePoint>& points_;
    std::size_t segment_ = 0;  // points_[segment_] is the last point at or before the position
    std::uint64_t position_;
};

}  // namespace kinolux::audio
