// The files the capture side writes and follows: unbuffered, so every write
// reaches the other process at once (the sync and WAV files are read while
// they grow), and read by position, so a partial read can be retried.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kinolux {

class PosixFile {
public:
    PosixFile() = default;
    ~PosixFile();
    PosixFile(PosixFile&& other) noexcept;
    PosixFile& operator=(PosixFile&& other) noexcept;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    // Removes whatever file is at `path` and creates a new, empty one for
    // writing. Only for paths the program chose for its own temporary
    // files. Not open on failure.
    static PosixFile CreateReplacing(const std::string& path);
    static PosixFile OpenForReading(const std::string& path);

    bool IsOpen() const { return fd_ >= 0; }
    // Writes all of `data` at the end of what was written so far.
    bool Append(const void* data, size_t size);
    bool WriteAt(uint64_t offset, const void* data, size_t size);
    // Up to `size` bytes from `offset`; 0 at the end of the file, -1 on error.
    long ReadAt(uint64_t offset, void* data, size_t size) const;
    void Close();

private:
    explicit PosixFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Asked when a file that another process is still writing holds less than
// a reader wants: waits a little (pumping messages, sleeping) and returns
// true to read again, or false to give up. An empty one never waits.
using WaitForMoreData = std::function<bool()>;

// Reads `size` bytes from `offset` of a growing file, asking `waitForMore`
// whenever fewer are there yet. Returns how many were read: all of them,
// unless waitForMore gave up or the file cannot be read.
size_t ReadGrowing(const PosixFile& file, uint64_t offset, void* data, size_t size,
                   const WaitForMoreData& waitForMore);

}  // namespace kinolux
