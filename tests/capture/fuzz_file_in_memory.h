// Hands fuzz input to a reader that opens files by path: the bytes go into
// an anonymous in-memory file, opened again through /proc/self/fd.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace kinolux::testing {

class FileInMemory {
public:
    FileInMemory(const uint8_t* data, size_t size) : fd_(memfd_create("fuzz-input", MFD_CLOEXEC)) {
        for (size_t done = 0; fd_ >= 0 && done < size;) {
            const ssize_t written = write(fd_, data + done, size - done);
            if (written <= 0) break;
            done += static_cast<size_t>(written);
        }
    }
    ~FileInMemory() {
        if (fd_ >= 0) close(fd_);
    }
    FileInMemory(const FileInMemory&) = delete;
    FileInMemory& operator=(const FileInMemory&) = delete;

    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
};

}  // namespace kinolux::testing
