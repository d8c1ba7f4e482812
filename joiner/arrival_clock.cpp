#include "joiner/arrival_clock.h"

#include <algorithm>
#include <cmath>

namespace joiner {

namespace {

constexpr double k27MHz = 27000000.0;

}  // namespace

ArrivalClock::ArrivalClock(const std::vector<ClockReference>& clock, uint64_t packetCount, int64_t durationTicks)
    : clock_(clock) {
    const ClockReference& first = clock.front();
    const ClockReference& last = clock.back();
    if (last.packet > first.packet && last.pcr > first.pcr)
        ticksPerPacket_ = double(last.pcr - first.pcr) / double(last.packet - first.packet);
    else  // one reference: the stream's length in time over its packets
        ticksPerPacket_ = packetCount > 0 && durationTicks > 0 ? double(durationTicks) / double(packetCount) : 1.0;
    ticksPerPacket_ = std::max(ticksPerPacket_, 1.0);
    fastestTicksPerPacket_ = ticksPerPacket_;
    for (size_t i = 1; i < clock.size(); ++i)
        if (clock[i].pcr > clock[i - 1].pcr)
            fastestTicksPerPacket_ = std::min(
                fastestTicksPerPacket_, double(clock[i].pcr - clock[i - 1].pcr) / double(clock[i].packet - clock[i - 1].packet));
    fastestTicksPerPacket_ = std::max(fastestTicksPerPacket_, 1.0);
}

int64_t ArrivalClock::TimeOf(uint64_t packet) {
    while (segment_ + 1 < clock_.size() && clock_[segment_ + 1].packet <= packet) ++segment_;
    const ClockReference& at = clock_[segment_];
    double time;
    if (packet < at.packet) {
        time = double(at.pcr) - double(at.packet - packet) * ticksPerPacket_;
    } else if (segment_ + 1 < clock_.size() && clock_[segment_ + 1].pcr > at.pcr) {
        const ClockReference& next = clock_[segment_ + 1];
        time = double(at.pcr) + double(packet - at.packet) * double(next.pcr - at.pcr) / double(next.packet - at.packet);
    } else {
        time = double(at.pcr) + double(packet - at.packet) * ticksPerPacket_;
    }
    last_ = std::max(last_ == INT64_MIN ? INT64_MIN : last_ + 1, static_cast<int64_t>(std::llround(time)));
    return last_;
}

uint32_t ArrivalClock::RecordingRate() const {
    const double bytesPerSecond = 192.0 * k27MHz / fastestTicksPerPacket_;
    return static_cast<uint32_t>(std::min(std::ceil(bytesPerSecond), double(UINT32_MAX)));
}

}  // namespace joiner
