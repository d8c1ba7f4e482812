// The sync file: the player's log of which movie frame it showed how many
// milliseconds into playback, read by the main program while it grows.
// Little-endian: the 4 signature bytes, then 8-byte records
// {int32 elapsed ms, int32 frame}, ended by the record {-1, -1}.
#pragma once

#include <array>
#include <cstdint>

namespace kinolux {

struct SyncRecord {
    int32_t elapsed = 0;  // milliseconds since playback started
    int32_t frame = 0;    // the frame the movie showed then
    bool operator==(const SyncRecord&) const = default;
};

inline constexpr std::array<uint8_t, 4> kSyncSignature = {0x19, 0x84, 0x04, 0x21};
inline constexpr uint32_t kSyncRecordBytes = 8;
inline constexpr SyncRecord kSyncEndRecord{-1, -1};

inline bool IsSyncEnd(const SyncRecord& record) { return record == kSyncEndRecord; }

}  // namespace kinolux
