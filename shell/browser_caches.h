// Where the web browsers of the Add menu keep their caches on this system,
// and how each is searched for movies.
#pragma once

#include <string>
#include <vector>

namespace kinolux {

// The Add menu's commands for the three caches.
inline constexpr int kAddIECache = 32839;
inline constexpr int kAddFirefoxCache = 32840;
inline constexpr int kAddOperaCache = 32851;

struct BrowserCacheFolder {
    std::string path;
    bool byContent;  // cache entries of this browser have no ".swf" names
};

// The folders for a menu command, under the user's home and cache folders
// ($XDG_CACHE_HOME, $XDG_CONFIG_HOME or their defaults). The first browser
// keeps no cache on this system: nothing.
std::vector<BrowserCacheFolder> BrowserCacheFolders(int menuCommand);

}  // namespace kinolux
