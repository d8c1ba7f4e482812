// Follows the sync file that the player is still writing.
#pragma once

#include "capture/growing_file_reader.h"
#include "capture/sync_file.h"

#include <optional>

namespace kinolux {

// Open passes over the file's 4 signature bytes unread, not checked.
class SyncFileReader : public GrowingFileReader {
public:
    SyncFileReader();
    // The next record. While the file holds only part of it, asks
    // `waitForMore` and reads again. The end record closes the file (so no
    // one waits for records that never come) and is returned like any
    // other. Nothing when the file is not open or `waitForMore` gave up; the
    // next call then reads that record again from its start.
    std::optional<SyncRecord> ReadRecord(const WaitForMoreData& waitForMore);
};

}  // namespace kinolux
