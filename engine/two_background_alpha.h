// Transparency from two grabs of the same frame, one on a black background
// (B) and one on a white background (W). Where the two agree the pixel is
// opaque; where they differ the background shows through, by as much as
// the blue channel rose from black to white: alpha = (b.blue - w.blue - 1)
// mod 256, so a pixel that shows the background fully gets 0 and a
// half-covered one about 128.
#pragma once

#include "engine/cx_image.h"

namespace kinolux {

// Whose colour a pixel that differs keeps: output frames take the white
// grab's, the picture saved from the preview the black grab's.
enum class DifferingPixelColour { FromWhite, FromBlack };

// The 24-bit result with an alpha plane. False (and `result` empty) when
// either grab is empty, not 24-bit, or the two differ in size.
bool MergeTwoBackgrounds(const CxImage& onBlack, const CxImage& onWhite, DifferingPixelColour colour, CxImage& result);

}  // namespace kinolux
