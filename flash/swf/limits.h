// Caps on what a hostile file can make the reader (and the code that decodes
// what it read) allocate or recurse into.
#pragma once

#include <cstddef>
#include <cstdint>

namespace swf::limits {

constexpr std::size_t kMaxMovieBytes = 128u << 20;      // uncompressed movie
// Parsed records (tags, shape records, glyphs) of one movie, in bytes of memory.
constexpr std::size_t kMaxParsedBytes = 512u << 20;
constexpr int kMaxSpriteNesting = 8;                    // DefineSprite in DefineSprite
constexpr std::uint32_t kMaxBitmapSide = 16384;         // pixels
constexpr std::uint64_t kMaxBitmapPixels = 1u << 25;    // 32 Mpixel, 128 MiB as ARGB
constexpr std::uint32_t kMaxStagePixelsSide = 16384;

}  // namespace swf::limits
