#include "shell/movie_scan.h"

#include "platform/text_compare.h"

#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kinolux {

namespace {

constexpr int kEntriesPerProgress = 256;

struct Walk {
    ScanBy by;
    bool recurse;
    const std::function<void()>& progress;
    std::set<std::pair<dev_t, ino_t>> visited;
    std::vector<std::string> found;
    int entries = 0;

    void Folder(const std::string& folder) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
        if (!visited.insert({info.st_dev, info.st_ino}).second) return;
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) return;
        std::vector<std::string> subfolders;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            if (progress && ++entries % kEntriesPerProgress == 0) progress();
            const std::string path = folder + (folder.ends_with('/') ? "" : "/") + name;
            struct stat target {};
            if (::stat(path.c_str(), &target) != 0) continue;  // a dangling link or no access
            if (S_ISDIR(target.st_mode)) {
                if (recurse) subfolders.push_back(path);
            } else if (S_ISREG(target.st_mode)) {
                const bool matches = by == ScanBy::Extension ? HasMovieExtension(path) : StartsLikeMovie(path);
                if (matches) found.push_back(path);
            }
        }
        ::closedir(dir);
        for (const std::string& sub : subfolders) Folder(sub);
    }
};

}  // namespace

bool HasMovieExtension(const std::string& path) {
    return path.size() >= 4 && EqualsIgnoringCase(std::string_view(path).substr(path.size() - 4), ".swf");
}

bool StartsLikeMovie(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    char head[3] = {};
    const bool read = ::read(fd, head, sizeof head) == sizeof head;
    ::close(fd);
    return read && (head[0] == 'F' || head[0] == 'C' || head[0] == 'Z') && head[1] == 'W' && head[2] == 'S';
}

std::vector<std::string> ScanFolderForMovies(const std::string& folder, ScanBy by, bool recurse,
                                             const std::function<void()>& progress) {
    Walk walk{by, recurse, progress, {}, {}, 0};
    walk.Folder(folder);
    return std::move(walk.found);
}

}  // namespace kinolux
