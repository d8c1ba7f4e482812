// index.bdmv: what a player starts with: first playback and the one title
// run movie objects (see movie_object_writer.h); there is no top menu.
#pragma once

#include <cstdint>
#include <vector>

namespace joiner {

std::vector<uint8_t> IndexFile();

}  // namespace joiner
