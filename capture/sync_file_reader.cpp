#include "capture/sync_file_reader.h"

#include "capture/little_endian.h"

namespace kinolux {

SyncFileReader::SyncFileReader() : GrowingFileReader(kSyncSignature.size()) {}

std::optional<SyncRecord> SyncFileReader::ReadRecord(const WaitForMoreData& waitForMore) {
    if (!IsOpen()) return std::nullopt;
    uint8_t bytes[kSyncRecordBytes];
    if (ReadAhead(bytes, sizeof bytes, waitForMore) < sizeof bytes) return std::nullopt;
    MoveOn(sizeof bytes);
    const SyncRecord record{static_cast<int32_t>(GetLe32(bytes)), static_cast<int32_t>(GetLe32(bytes + 4))};
    if (IsSyncEnd(record)) Close();
    return record;
}

}  // namespace kinolux
