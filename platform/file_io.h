// Whole-file reads and crash-safe whole-file writes. A write goes to a
// temporary file beside the target and is renamed over it only when it is
// complete, so a crash or a full disk never leaves a half-written file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kinolux {

// The file's bytes, or nothing when it cannot be opened or read or is no
// regular file (a folder, a FIFO, a device).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file with `contents`. An existing file keeps its permission
// bits; a new one gets `newFileMode`. Returns false (and leaves the old file
// untouched) when anything fails.
bool WriteFileAtomically(const std::string& path, std::string_view contents, mode_t newFileMode = 0644);

// The same for a file written piece by piece: `write` fills the temporary
// file through its descriptor (it must not close it) and returns whether it
// wrote everything. Without `syncToDisk` the data is not forced to the disk
// first, for files written many times a second (image sequences).
bool ReplaceFileWith(const std::string& path, const std::function<bool(int fd)>& write, mode_t newFileMode = 0644,
                     bool syncToDisk = true);

// Writes every byte, going on after interruptions; false on a failure.
bool WriteAllToFd(int fd, std::string_view data);

}  // namespace kinolux
