// Writing plain SWF data back into a file: round trips, tests that build
// movies with known content, the sample movie and uncompressed copies.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/swf/types.h"

namespace swf {

// A whole movie, compressed as header.compression says; the file length is
// computed, header.uncompressedLength is ignored. Throws Error for values the
// format cannot hold.
std::vector<std::uint8_t> writeMovie(const Header& header, const std::vector<Tag>& tags);

// One tag with its code-and-length header.
void appendTag(std::vector<std::uint8_t>& out, const TagBody& tag, std::uint8_t swfVersion);

// Compresses an uncompressed (FWS) file as CWS or ZWS; returns None files as
// they are.
std::vector<std::uint8_t> compressFile(const std::vector<std::uint8_t>& fws, Compression to);

// zlib helpers shared with the tools that build bitmap and font data.
std::vector<std::uint8_t> zlibCompress(Bytes data);

}  // namespace swf
