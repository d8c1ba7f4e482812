#include "platform/runtime_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace kinolux {

namespace {

// The parent must not let anybody else swap our folder for one of theirs:
// owned by us or by root, and writable by others only with the sticky bit
// (as /tmp is).
bool IsSafeParent(const std::string& parent, std::string& error) {
    struct stat st {};
    if (::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = parent + " is not a folder.";
        return false;
    }
    bool ownerOk = st.st_uid == ::geteuid() || st.st_uid == 0;
    bool othersMayWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (!ownerOk || (othersMayWrite && !(st.st_mode & S_ISVTX))) {
        error = parent + " may be changed by other users.";
        return false;
    }
    return true;
}

}  // namespace

bool IsPrivateFolder(const std::string& folder, std::string& error) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = folder + " is not a folder.";
        return false;
    }
    if (st.st_uid != ::geteuid()) {
        error = folder + " belongs to another user.";
        return false;
    }
    if ((st.st_mode & 07777) != 0700) {
        error = folder + " may be entered by other users (its mode is not 0700).";
        return false;
    }
    return true;
}

std::optional<std::string> UserRuntimeFolder(std::string& error) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string parent = runtime && IsAbsolutePath(runtime) && FolderExists(runtime) ? runtime : "/tmp";
    while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
    std::string folder = parent == "/tmp" ? "/tmp/kinolux-" + std::to_string(::geteuid()) : parent + "/kinolux";
    if (!IsSafeParent(parent, error)) return std::nullopt;
    if (::mkdir(folder.c_str(), 0700) == 0) {
        // The umask may have taken bits away; a folder just made is ours to set.
        if (::chmod(folder.c_str(), 0700) != 0) {
            error = folder + ": " + std::strerror(errno);
            return std::nullopt;
        }
    } else if (errno != EEXIST) {
        error = folder + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!IsPrivateFolder(folder, error)) return std::nullopt;
    return folder;
}

}  // namespace kinolux
