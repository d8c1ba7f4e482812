#include "capture/sync_file_writer.h"

#include "capture/little_endian.h"

namespace kinolux {

bool SyncFileWriter::Create(const std::string& path) {
    file_ = PosixFile::CreateReplacing(path);
    if (file_.IsOpen() && !file_.Append(kSyncSignature.data(), kSyncSignature.size())) file_.Close();
    return file_.IsOpen();
}

bool SyncFileWriter::Append(int32_t elapsed, int32_t frame) {
    if (!file_.IsOpen()) return false;
    uint8_t record[kSyncRecordBytes];
    PutLe32(record, static_cast<uint32_t>(elapsed));
    PutLe32(record + 4, static_cast<uint32_t>(frame));
    // One write per record: a reader sees it whole or retries.
    return file_.Append(record, sizeof record);
}

bool SyncFileWriter::Finish() {
    const bool ended = Append(kSyncEndRecord.elapsed, kSyncEndRecord.frame);
    file_.Close();
    return ended;
}

}  // namespace kinolux
