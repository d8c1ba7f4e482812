#include "flash/video/h263_header.h"

#include "flash/swf/bit_cursor.h"

namespace kinolux::video {

// Start code, version, temporal reference, picture size (with an explicit
// width and height for the sizes 0 and 1), picture type, deblocking flag,
// quantizer.
std::optional<H263PictureHeader> readH263PictureHeader(std::span<const std::uint8_t> data)
{
    swf::BitCursor bits(data);
    if (!bits.has(17 + 5 + 8 + 3) || bits.read(17) != 1) return std::nullopt;
    bits.read(5 + 8);
    const unsigned size = bits.read(3);
    const unsigned dimensionBits = size == 0 ? 16 : size == 1 ? 32 : 0;
    if (!bits.has(dimensionBits + 2 + 1 + 5)) return std::nullopt;
    bits.read(dimensionBits);
    H263PictureHeader header;
    header.intra = bits.read(2) == 0;
    header.deblocking = bits.read(1) == 1;
    header.quantizer = bits.read(5);
    return header;
}

}  // namespace kinolux::video
