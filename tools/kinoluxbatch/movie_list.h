// The movies a batch converts: every input expanded (a folder searched for
// movies by their content, with its subfolders; a text file read as a list
// of movies, one a line; a movie as it is), sorted and without repeats, and
// the shard of them that this run takes.
#pragma once

#include "tools/kinoluxbatch/batch_options.h"

#include <string>
#include <vector>

namespace kinolux::batch {

struct MovieList {
    std::vector<std::string> movies;    // absolute paths, sorted
    std::vector<std::string> problems;  // inputs that name nothing usable
};

MovieList CollectMovies(const std::vector<std::string>& inputs);

// Every shard.count-th movie from the shard.index-th: the shards of one
// list, taken together, hold each movie exactly once.
std::vector<std::string> TakeShard(const std::vector<std::string>& sorted, const Shard& shard);

}  // namespace kinolux::batch
