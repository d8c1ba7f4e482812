// The fields of a Sorenson H.263 picture header that playback needs beyond
// the decoder itself: whether the picture stands alone, whether it asks for
// the deblocking filter, and the quantizer that sets the filter's strength.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kinolux::video {

struct H263PictureHeader {
    bool intra = false;
    bool deblocking = false;
    unsigned quantizer = 0;  // 1..31 in a sound stream; 0 is possible in a damaged one
};

// Empty when the data is too short or lacks the picture start code.
std::optional<H263PictureHeader> readH263PictureHeader(std::span<const std::uint8_t> data);

}  // namespace kinolux::video
