// Finding movies: by the name's extension or by the file's first bytes, one
// file or a whole folder tree. A tree walk visits every folder once, so
// symbolic links that loop back end it, and it skips what it cannot read.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kinolux {

enum class ScanBy { Extension, Content };

// The name ends in ".swf" (any case).
bool HasMovieExtension(const std::string& path);
// The file starts with "FWS", "CWS" or "ZWS"; false when it cannot be read.
bool StartsLikeMovie(const std::string& path);

// The movies in `folder` (and, with `recurse`, below it) in the order the
// file system lists them; by content a file must also start like a movie.
// `progress` is called every few hundred entries, so a window can repaint
// during a long walk.
std::vector<std::string> ScanFolderForMovies(const std::string& folder, ScanBy by, bool recurse,
                                             const std::function<void()>& progress = {});

}  // namespace kinolux
