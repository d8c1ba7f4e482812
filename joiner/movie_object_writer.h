// MovieObject.bdmv: the two navigation programs of the disc. First
// playback jumps to title 1; title 1 plays playlist 00000.
#pragma once

#include <cstdint>
#include <vector>

namespace joiner {

inline constexpr uint32_t kFirstPlaybackObject = 0;
inline constexpr uint32_t kTitleObject = 1;

std::vector<uint8_t> MovieObjectFile();

}  // namespace joiner
