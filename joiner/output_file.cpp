#include "joiner/output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "bindings/joiner.h"
#include "joiner/failure.h"

namespace joiner {

namespace {

[[noreturn]] void FailWriting(const std::string& path) {
    throw Failure(NX_ERROR_WRITE, "The Blu-ray folder cannot be written: " + path + ": " + std::strerror(errno) + ".");
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) FailWriting(path_);
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void OutputFile::Write(const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd_, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) FailWriting(path_);
        bytes += n;
        count -= static_cast<size_t>(n);
    }
}

void OutputFile::Close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) FailWriting(path_);
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    OutputFile file(path);
    file.Write(bytes.data(), bytes.size());
    file.Close();
}

}  // namespace joiner
