#include "shell/browser_caches.h"

#include <cstdlib>

namespace kinolux {

namespace {

std::string UserFolder(const char* variable, const char* underHome) {
    const char* set = std::getenv(variable);
    if (set && *set == '/') return set;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/" + underHome;
}

}  // namespace

std::vector<BrowserCacheFolder> BrowserCacheFolders(int menuCommand) {
    const std::string cache = UserFolder("XDG_CACHE_HOME", ".cache");
    const std::string config = UserFolder("XDG_CONFIG_HOME", ".config");
    switch (menuCommand) {
    case kAddFirefoxCache: return {{cache + "/mozilla/firefox", true}};
    case kAddOperaCache: return {{cache + "/opera", false}, {config + "/opera", false}};
    default: return {};
    }
}

}  // namespace kinolux
