#include "platform/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace kinolux {

std::optional<std::string> ReadWholeFile(const std::string& path) {
    // Without O_NONBLOCK a FIFO in the file's place would hold the open
    // until some writer came; only regular files are read anyway.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    data.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

bool WriteAllToFd(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view contents, mode_t newFileMode) {
    return ReplaceFileWith(path, [contents](int fd) { return WriteAllToFd(fd, contents); }, newFileMode, true);
}

bool ReplaceFileWith(const std::string& path, const std::function<bool(int fd)>& write, mode_t newFileMode,
                     bool syncToDisk) {
    if (path.empty()) return false;
    mode_t mode = newFileMode;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
        mode = st.st_mode & 07777;
    }
    std::string folder = FolderOf(path);
    std::string pattern = (folder.empty() && path[0] != '/' ? std::string(".") : folder) + "/." + FileNameOf(path) + ".XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, mode) == 0 && write(fd) && (!syncToDisk || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(pattern.c_str(), path.c_str()) == 0) return true;
    ::unlink(pattern.c_str());
    return false;
}

}  // namespace kinolux
