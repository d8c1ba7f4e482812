// The files the capture side writes and follows: unbuffered, so every write
// reaches the other process at once (the sync and WAV files are read while
// they grow), and read by position, so a partial read can be retried.
#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace kinolux
