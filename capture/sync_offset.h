// How far the replayed movie is ahead of the frame that the player showed at
// a given moment, from the player's sync records.
#pragma once

#include "capture/sync_file.h"

#include <cstdint>
#include <span>

namespace kinolux {

// The answer when no record covers the moment (or the log has ended).
inline constexpr int32_t kNoSyncOffset = 0xFFFF;

struct SyncLookup {
    int32_t offset = kNoSyncOffset;
    bool endReached = false;  // the end record came first: the run is over
};

// Walks the records in order from time 0: the first record whose time span
// (from the previous record's time, or 0, up to its own, both included, as
// unsigned milliseconds) holds `ms` gives current - its frame. The end
// record stops the walk with endReached.
SyncLookup SyncOffset(std::span<const SyncRecord> records, uint32_t ms, int32_t current);

}  // namespace kinolux
