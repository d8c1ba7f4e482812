#include "capture/posix_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace kinolux {

PosixFile::~PosixFile() { Close(); }

PosixFile::PosixFile(PosixFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

PosixFile& PosixFile::operator=(PosixFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

PosixFile PosixFile::CreateReplacing(const std::string& path) {
    ::unlink(path.c_str());
    // O_EXCL: if something could not be removed (a folder, a file in a
    // protected folder) it is refused rather than written through.
    return PosixFile(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
}

PosixFile PosixFile::OpenForReading(const std::string& path) {
    return PosixFile(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

bool PosixFile::Append(const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool PosixFile::WriteAt(uint64_t offset, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::pwrite(fd_, bytes, size, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
        offset += static_cast<uint64_t>(written);
    }
    return true;
}

long PosixFile::ReadAt(uint64_t offset, void* data, size_t size) const {
    for (;;) {
        const ssize_t got = ::pread(fd_, data, size, static_cast<off_t>(offset));
        if (got >= 0 || errno != EINTR) return got;
    }
}

void PosixFile::Close() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

}  // namespace kinolux
