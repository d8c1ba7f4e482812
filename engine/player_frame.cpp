#include "engine/player_frame.h"

namespace kinolux {

PeriodFrame PlayerFrameForPeriod(std::span<const SyncRecord> records, uint32_t startMs, uint32_t periodMs) {
    const uint32_t lastMs = startMs + (periodMs > 0 ? periodMs - 1 : 0);
    PeriodFrame result;
    for (const SyncRecord& record : records) {
        // Reaching the end means no record lies beyond this period.
        if (IsSyncEnd(record)) {
            result.ended = true;
            break;
        }
        if (static_cast<uint32_t>(record.elapsed) > lastMs) break;
        result.known = true;
        result.frame = record.frame;
    }
    return result;
}

}  // namespace kinolux
