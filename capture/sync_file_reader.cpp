#include "capture/sync_file_reader.h"

#include "capture/little_endian.h"

namespace kinolux {

bool SyncFileReader::Open(const std::string& path) {
    file_ = PosixFile::OpenForReading(path);
    offset_ = kSyncSignature.size();
    return file_.IsOpen();
}

std::optional<SyncRecord> SyncFileReader::ReadRecord(const WaitForMoreData& waitForMore) {
    if (!file_.IsOpen()) return std::nullopt;
    uint8_t bytes[kSyncRecordBytes];
    if (ReadGrowing(file_, offset_, bytes, sizeof bytes, waitForMore) < sizeof bytes) return std::nullopt;
    offset_ += sizeof bytes;
    const SyncRecord record{static_cast<int32_t>(GetLe32(bytes)), static_cast<int32_t>(GetLe32(bytes + 4))};
    if (IsSyncEnd(record)) file_.Close();
    return record;
}

}  // namespace kinolux
