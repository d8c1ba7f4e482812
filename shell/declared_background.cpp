#include "shell/declared_background.h"

#include "flash/swf/byte_reader.h"
#include "flash/swf/header.h"
#include "flash/swf/tag_codes.h"

#include <fstream>
#include <vector>

namespace kinolux {

namespace {

// The tag comes before the first frame, after at most a few small tags
// (file attributes, metadata, script limits): this much of the movie is
// plenty, and a folder of large movies stays quick to add.
constexpr std::size_t kLookAheadBytes = 1u << 20;

}  // namespace

std::optional<uint32_t> DeclaredBackgroundColorRef(std::span<const uint8_t> movieStart) {
    try {
        const swf::Uncompressed movie = swf::decompress(movieStart, kLookAheadBytes);
        std::size_t bodyOffset = 0;
        swf::readHeader(movie.file, &bodyOffset);
        swf::ByteReader tags(swf::Bytes(movie.file).subspan(bodyOffset));
        while (!tags.atEnd()) {
            const uint16_t codeAndLength = tags.u16();
            const uint16_t code = codeAndLength >> 6;
            uint32_t length = codeAndLength & 0x3F;
            if (length == 0x3F) length = tags.u32();
            if (code == uint16_t(swf::TagCode::End) || code == uint16_t(swf::TagCode::ShowFrame)) return std::nullopt;
            if (code == uint16_t(swf::TagCode::SetBackgroundColor) && length >= 3) {
                const swf::Color c = tags.rgb();
                return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16;
            }
            tags.skip(length);
        }
    } catch (const swf::Error&) {
    }
    return std::nullopt;
}

std::optional<uint32_t> DeclaredBackgroundColorRef(const std::string& moviePath) {
    std::ifstream file(moviePath, std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<uint8_t> start(kLookAheadBytes);
    file.read(reinterpret_cast<char*>(start.data()), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<size_t>(file.gcount()));
    return DeclaredBackgroundColorRef(start);
}

}  // namespace kinolux
