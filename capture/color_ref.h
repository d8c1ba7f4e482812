// Windows colour values (COLORREF, 0x00BBGGRR), as tasks and the colour
// dialog keep them, and the 0xRRGGBB the Flash control takes.
#pragma once

#include <cstdint>

namespace kinolux {

using COLORREF = std::uint32_t;

// Red to bits 16-23, green to 8-15, blue to 0-7; the top byte is dropped.
constexpr std::int32_t RgbFromColorRef(COLORREF color)
{
    return std::int32_t((color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF));
}

}  // namespace kinolux
