// The H.263 deblocking filter (ITU-T H.263 Annex J) as Flash applies it to
// Sorenson H.263 pictures that ask for it: across every 8-pixel block edge
// of a plane, the edges between block rows first, then those between block
// columns, with a strength set by the picture's quantizer.
//
// Flash filters the picture it shows, not the one later frames predict
// from, so callers pass a copy of the decoded planes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kinolux::video {

// `quantizer` is clamped to 1..31.
void deblockPlane(std::uint8_t* plane, int width, int height, std::ptrdiff_t stride, unsigned quantizer);

}  // namespace kinolux::video
