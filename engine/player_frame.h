// Which movie frame belongs to a frame period of the output, from the
// player's frame log. Each record holds the time in the player's sound at
// which its frame's sound starts, so the frame for the period [start,
// start + period) is the frame of the last record at or before its last
// millisecond: a picture never leads the sound that starts with it.
#pragma once

#include "capture/sync_file.h"

#include <cstdint>
#include <span>

namespace kinolux {

struct PeriodFrame {
    bool known = false;  // a record at or before the period's end was found
    int32_t frame = 0;
    bool ended = false;  // the log ended before the period: the player is done
};

PeriodFrame PlayerFrameForPeriod(std::span<const SyncRecord> records, uint32_t startMs, uint32_t periodMs);

}  // namespace kinolux
