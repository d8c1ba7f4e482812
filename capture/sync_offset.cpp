#include "capture/sync_offset.h"

namespace kinolux {

SyncLookup SyncOffset(std::span<const SyncRecord> records, uint32_t ms, int32_t current) {
    uint32_t previous = 0;
    for (const SyncRecord& record : records) {
        if (IsSyncEnd(record)) return {kNoSyncOffset, true};
        const auto elapsed = static_cast<uint32_t>(record.elapsed);
        // Wrapping 32-bit difference: a hostile frame number cannot overflow.
        if (previous <= ms && ms <= elapsed)
            return {static_cast<int32_t>(static_cast<uint32_t>(current) - static_cast<uint32_t>(record.frame)), false};
        previous = elapsed;
    }
    return {};
}

}  // namespace kinolux
