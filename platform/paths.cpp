#include "platform/paths.h"

#include <cerrno>
#include <sys/stat.h>

namespace kinolux {

std::string FolderOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string FileNameOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

namespace {
size_t ExtensionDot(std::string_view path) {
    size_t dot = path.rfind('.');
    size_t slash = path.rfind('/');
    if (dot == std::string_view::npos) return std::string_view::npos;
    if (slash != std::string_view::npos && dot < slash) return std::string_view::npos;
    return dot;
}
}  // namespace

std::string WithoutExtension(std::string_view path) {
    size_t dot = ExtensionDot(path);
    return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

std::string ExtensionOf(std::string_view path) {
    size_t dot = ExtensionDot(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

bool IsAbsolutePath(std::string_view path) { return !path.empty() && path[0] == '/'; }

bool MakeFoldersUpToLastSlash(std::string_view path) {
    size_t last = path.rfind('/');
    if (last == std::string_view::npos) return true;
    std::string folder;
    for (size_t i = 0; i <= last; ++i) {
        if (path[i] == '/' && !folder.empty() && folder.back() != '/') {
            if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return false;
            if (!FolderExists(folder)) return false;
        }
        folder += path[i];
    }
    return true;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace kinolux
