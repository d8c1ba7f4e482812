// Follows a file that another process (the player, or the audio tap of this
// process) is still writing: the file and how far it has been read, shared
// by the sync file's reader and the WAV file's.
#pragma once

#include "capture/posix_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kinolux {

// Asked when a file that another process is still writing holds less than
// a reader wants: waits a little (pumping messages, sleeping) and returns
// true to read again, or false to give up. An empty one never waits.
using WaitForMoreData = std::function<bool()>;

class GrowingFileReader {
public:
    // Opens the file with reading to start at the reader's first byte (what
    // comes before it is passed over unread). False when it cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_.IsOpen(); }
    void Close() { file_.Close(); }

protected:
    explicit GrowingFileReader(uint64_t firstByte) : firstByte_(firstByte) {}

    // Reads `size` bytes from where reading stands, asking `waitForMore`
    // whenever fewer are there yet. Returns how many were read: all of them,
    // unless waitForMore gave up or the file cannot be read. Reading stands
    // where it stood until MoveOn.
    size_t ReadAhead(void* data, size_t size, const WaitForMoreData& waitForMore) const;
    void MoveOn(size_t bytes) { offset_ += bytes; }

private:
    PosixFile file_;
    uint64_t firstByte_;
    uint64_t offset_ = 0;
};

}  // namespace kinolux
