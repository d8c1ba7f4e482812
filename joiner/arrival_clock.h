// The arrival time stamp of every source packet: the 27 MHz clock at which
// the packet enters the player, read off the stream's own clock
// references and spread evenly over the packets between two of them.
#pragma once

#include <cstdint>
#include <vector>

#include "joiner/clip_survey.h"

namespace joiner {

class ArrivalClock {
public:
    // `clock` holds at least one reference; `packetCount` is the number of
    // packets to time (the stream's, with any padding after it).
    ArrivalClock(const std::vector<ClockReference>& clock, uint64_t packetCount, int64_t durationTicks);

    // The time of packet `packet`, in 27 MHz ticks; never earlier than the
    // packet before it. Packets must be asked for in order.
    int64_t TimeOf(uint64_t packet);
    // The bytes per second of the source packets at their fastest between
    // two references, as the clip records it.
    uint32_t RecordingRate() const;

private:
    const std::vector<ClockReference>& clock_;
    double ticksPerPacket_;  // before the first and after the last reference
    double fastestTicksPerPacket_;
    size_t segment_ = 0;     // the reference at or before the current packet
    int64_t last_ = INT64_MIN;
};

}  // namespace joiner
