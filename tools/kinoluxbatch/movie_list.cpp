#include "tools/kinoluxbatch/movie_list.h"

#include "shell/movie_scan.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace kinolux::batch {

namespace {

namespace fs = std::filesystem;

// A list longer than this is no list of movies.
constexpr size_t kLongestListLine = 4096;

std::string Absolute(const fs::path& path) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored);
    return (absolute.empty() ? path : absolute).lexically_normal().string();
}

// One movie a line; blank lines and lines starting with '#' are skipped, and
// a relative path is taken from the list's own folder.
void ReadList(const fs::path& list, MovieList& out) {
    std::ifstream in(list);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.size() > kLongestListLine) {
            out.problems.push_back(list.string() + " line " + std::to_string(number) + " is too long for a path.");
            continue;
        }
        // Whatever a line names is tried: one that is missing or no movie is
        // reported with the others.
        const fs::path named = line.substr(start);
        out.movies.push_back(Absolute(named.is_absolute() ? named : list.parent_path() / named));
    }
}

}  // namespace

MovieList CollectMovies(const std::vector<std::string>& inputs) {
    MovieList list;
    for (const std::string& input : inputs) {
        std::error_code error;
        if (fs::is_directory(input, error)) {
            for (const std::string& movie : ScanFolderForMovies(input, ScanBy::Content, true))
                list.movies.push_back(Absolute(movie));
        } else if (!fs::exists(input, error)) {
            list.problems.push_back(input + " does not exist.");
        } else if (StartsLikeMovie(input) || HasMovieExtension(input)) {
            // A damaged movie is still the user's movie: it is tried and reported.
            list.movies.push_back(Absolute(input));
        } else {
            ReadList(input, list);
        }
    }
    std::sort(list.movies.begin(), list.movies.end());
    list.movies.erase(std::unique(list.movies.begin(), list.movies.end()), list.movies.end());
    return list;
}

std::vector<std::string> TakeShard(const std::vector<std::string>& sorted, const Shard& shard) {
    std::vector<std::string> taken;
    for (size_t i = static_cast<size_t>(shard.index); i < sorted.size(); i += static_cast<size_t>(shard.count))
        taken.push_back(sorted[i]);
    return taken;
}

}  // namespace kinolux::batch
