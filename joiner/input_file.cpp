#include "joiner/input_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bindings/joiner.h"
#include "joiner/failure.h"

namespace joiner {

InputFile::InputFile(const std::string& path) : path_(path) {
    // Without waiting: a named pipe in the stream's place must not hang
    // the caller until something writes to it.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
        const std::string why = fd_ < 0 ? std::strerror(errno) : "it is not a file";
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        throw Failure(NX_ERROR_UNREADABLE, "The transport stream " + path + " cannot be read: " + why + ".");
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    size_ = static_cast<uint64_t>(status.st_size);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

size_t InputFile::Read(uint8_t* buffer, size_t bytes) {
    size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::read(fd_, buffer + done, bytes - done);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Failure(NX_ERROR_UNREADABLE,
                          "The transport stream " + path_ + " cannot be read: " + std::strerror(errno) + ".");
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

}  // namespace joiner
