#include "engine/two_background_alpha.h"

namespace kinolux {

bool MergeTwoBackgrounds(const CxImage& onBlack, const CxImage& onWhite, DifferingPixelColour colour, CxImage& result) {
    const uint32_t width = onBlack.GetWidth();
    const uint32_t height = onBlack.GetHeight();
    if (!onBlack.IsValid() || !onWhite.IsValid() || onBlack.GetBpp() != 24 || onWhite.GetBpp() != 24 ||
        onWhite.GetWidth() != width || onWhite.GetHeight() != height) {
        result.Create(0, 0, 24);
        return false;
    }
    if (!result.Create(width, height, 24) || !result.AlphaCreate()) return false;
    const bool keepWhite = colour == DifferingPixelColour::FromWhite;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* b = onBlack.GetBits(y);
        const uint8_t* w = onWhite.GetBits(y);
        uint8_t* out = result.GetBits(y);
        uint8_t* alpha = result.AlphaGetPointer(0, y);
        for (uint32_t x = 0; x < width; ++x, b += 3, w += 3, out += 3) {
            const bool same = b[0] == w[0] && b[1] == w[1] && b[2] == w[2];
            const uint8_t* keep = same || !keepWhite ? b : w;
            out[0] = keep[0];
            out[1] = keep[1];
            out[2] = keep[2];
            alpha[x] = same ? 255 : static_cast<uint8_t>(b[0] - w[0] - 1);
        }
    }
    return true;
}

}  // namespace kinolux
