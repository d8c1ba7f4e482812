#include "platform/program_folder.h"

#include <mutex>
#include <unistd.h>

#include "platform/paths.h"

namespace kinolux {

namespace {
std::mutex folderLock;
std::string overrideFolder;

std::string ExecutableFolder() {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    return FolderOf(std::string(buffer, static_cast<size_t>(n)));
}
}  // namespace

std::string GetProgramFolder(bool withTrailingSlash) {
    std::string folder;
    {
        std::lock_guard<std::mutex> hold(folderLock);
        folder = overrideFolder;
    }
    if (folder.empty()) {
        static const std::string executableFolder = ExecutableFolder();
        folder = executableFolder;
    }
    return withTrailingSlash ? folder + "/" : folder;
}

void SetProgramFolder(const std::string& folder) {
    std::lock_guard<std::mutex> hold(folderLock);
    overrideFolder = folder;
    while (overrideFolder.size() > 1 && overrideFolder.back() == '/') overrideFolder.pop_back();
}

}  // namespace kinolux
