// Writes the sync file as the player plays: every record reaches the file at
// once, for the main program that follows it.
#pragma once

#include "capture/posix_file.h"
#include "capture/sync_file.h"

#include <string>

namespace kinolux {

class SyncFileWriter {
public:
    // Replaces any file at `path` (a temporary path the main program chose
    // for this run) with one holding the signature. False when it cannot be
    // created; the appends that follow are then skipped.
    bool Create(const std::string& path);
    bool Append(int32_t elapsed, int32_t frame);
    // Appends the end record and closes. False when no file was open or the
    // end record could not be written.
    bool Finish();
    bool IsOpen() const { return file_.IsOpen(); }

private:
    PosixFile file_;
};

}  // namespace kinolux
