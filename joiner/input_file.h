// The transport stream, read front to back in large blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace joiner {

class InputFile {
public:
    // Throws Failure (NX_ERROR_UNREADABLE) when the file cannot be opened.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    uint64_t Size() const { return size_; }
    // Fills up to `bytes` from the current position; returns how many were
    // read (fewer only at the end). Throws Failure on a read error.
    size_t Read(uint8_t* buffer, size_t bytes);

private:
    std::string path_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

// A block size that holds whole packets of both sizes (188 and 192 bytes).
inline constexpr size_t kReadBlock = 188 * 192 * 32;

}  // namespace joiner
