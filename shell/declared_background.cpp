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
// Nearly every movie declares its colour in its first few tags: a first look
// at this much of the body spares inflating the rest of the look-ahead.
constexpr std::size_t kFirstLookBytes = 4096;

// What the tags before the first frame say, read from the first `window`
// bytes of the body; `cutShort` when the window ended before they did.
std::optional<uint32_t> ScanTags(std::span<const uint8_t> movieStart, std::size_t window, bool& cutShort) {
    cutShort = false;
    const swf::Uncompressed movie = swf::decompress(movieStart, window);
    std::size_t bodyOffset = 0;
    swf::readHeader(movie.file, &bodyOffset);
    swf::ByteReader tags(swf::Bytes(movie.file).subspan(bodyOffset));
    const bool windowFull = movie.file.size() >= window;
    try {
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
        if (!windowFull) throw;
    }
    cutShort = windowFull;
    return std::nullopt;
}

}  // namespace

std::optional<uint32_t> DeclaredBackgroundColorRef(std::span<const uint8_t> movieStart) {
    try {
        bool cutShort = false;
        const std::optional<uint32_t> colour = ScanTags(movieStart, kFirstLookBytes, cutShort);
        if (!cutShort) return colour;
        return ScanTags(movieStart, kLookAheadBytes, cutShort);
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
