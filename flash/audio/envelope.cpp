#include "flash/audio/envelope.h"

namespace kinolux::audio {

namespace {

constexpr float kFullLevel = 32768.0f;

}  // namespace

EnvelopeCursor::EnvelopeCursor(const std::vector<EnvelopePoint>& points, std::uint64_t position)
    : points_(points), position_(position)
{
    while (segment_ + 1 < points_.size() && points_[segment_ + 1].pos44 <= position_) ++segment_;
}

Gains EnvelopeCursor::next()
{
    if (points_.empty()) return {};
    while (segment_ + 1 < points_.size() && points_[segment_ + 1].pos44 <= position_) ++segment_;
    const EnvelopePoint& from = points_[segment_];
    Gains gains{from.leftLevel / kFullLevel, from.rightLevel / kFullLevel};
    if (segment_ + 1 < points_.size() && position_ > from.pos44) {
        const EnvelopePoint& to = points_[segment_ + 1];
        const float t = float(position_ - from.pos44) / float(to.pos44 - from.pos44);
        gains.left += t * (to.leftLevel - from.leftLevel) / kFullLevel;
        gains.right += t * (to.rightLevel - from.rightLevel) / kFullLevel;
    }
    ++position_;
    return gains;
}

}  // namespace kinolux::audio
