// Follows the sync file that the player is still writing.
#pragma once

#include "capture/posix_file.h"
#include "capture/sync_file.h"

#include <optional>
#include <string>

namespace kinolux {

class SyncFileReader {
public:
    // Opens the file; its 4 signature bytes are passed over unread, not
    // checked. False when it cannot be opened.
    bool Open(const std::string& path);
    // The next record. While the file holds only part of it, asks
    // `waitForMore` and reads again. The end record closes the file (so no
    // one waits for records that never come) and is returned like any
    // other. Nothing when the file is not open or `waitForMore` gave up; the
    // next call then reads that record again from its start.
    std::optional<SyncRecord> ReadRecord(const WaitForMoreData& waitForMore);
    bool IsOpen() const { return file_.IsOpen(); }
    void Close() { file_.Close(); }

private:
    PosixFile file_;
    uint64_t offset_ = 0;
};

}  // namespace kinolux
