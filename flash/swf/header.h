// The SWF file header and the decompression of CWS (zlib) and ZWS (LZMA)
// bodies: shared by the movie reader and the probe library.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/swf/types.h"

namespace swf {

// The first eight bytes: signature, version and declared uncompressed length.
struct FileSignature {
    Compression compression = Compression::None;
    std::uint8_t version = 0;
    std::uint32_t uncompressedLength = 0;
};

// Throws Error when the bytes do not start with FWS, CWS or ZWS.
FileSignature readSignature(Bytes file);

// The whole movie as an uncompressed (FWS) file: the eight signature bytes,
// rewritten to say FWS, followed by the uncompressed body. The declared
// length is trusted only up to limits::kMaxMovieBytes; a body that ends
// early is kept as far as it goes (truncated is set), one that grows past
// the limit is an Error.
struct Uncompressed {
    std::vector<std::uint8_t> file;
    bool truncated = false;
};
// maxBody stops early once that many body bytes are out (0: no stop short
// of the limit); a prefix read that way is not "truncated".
Uncompressed decompress(Bytes file, std::size_t maxBody = 0);

// The header of a movie (compressed or not), unpacking only its first bytes.
Header probeHeader(Bytes file);

// Reads the header fields that follow the signature (frame size, rate and
// count) from an uncompressed file. Throws Error if they are cut short.
Header readHeader(Bytes uncompressedFile, std::size_t* bodyOffset = nullptr);

}  // namespace swf
