#include "flash/video/deblocking_filter.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace kinolux::video {

namespace {

constexpr int kBlock = 8;

// Filter strength by quantizer (Annex J, table J.2); index 0 is unused.
constexpr std::array<int, 32> kStrength = {0, 1, 1, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 7,
                                           7, 8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12};

std::uint8_t clampByte(int value)
{
    return std::uint8_t(std::clamp(value, 0, 255));
}

// The four samples A B | C D across one edge, `step` apart. The divisions
// round towards minus infinity (the arithmetic shifts of Flash's decoder):
// rounding towards zero leaves a step of one level on every other edge.
void filterEdge(std::uint8_t* c, std::ptrdiff_t step, int strength)
{
    const int a = c[-2 * step], b = c[-step], cc = c[0], d = c[step];
    const int delta = (a - 4 * b + 4 * cc - d) >> 3;
    // Small steps are smoothed fully, larger ones less and less: a step
    // of twice the strength or more is taken for a real edge and kept.
    const int magnitude = std::max(0, std::abs(delta) - std::max(0, 2 * (std::abs(delta) - strength)));
    const int d1 = delta < 0 ? -magnitude : magnitude;
    const int limit = std::abs(d1 >> 1);
    const int d2 = std::clamp((a - d) / 4, -limit, limit);
    c[-2 * step] = clampByte(a - d2);
    c[-step] = clampByte(b + d1);
    c[0] = clampByte(cc - d1);
    c[step] = clampByte(d + d2);
}

}  // namespace

void deblockPlane(std::uint8_t* plane, int width, int height, std::ptrdiff_t stride, unsigned quantizer)
{
    const int strength = kStrength[std::clamp(quantizer, 1u, 31u)];
    for (int y = kBlock; y + 1 < height; y += kBlock)
        for (int x = 0; x < width; ++x) filterEdge(plane + y * stride + x, stride, strength);
    for (int y = 0; y < height; ++y)
        for (int x = kBlock; x + 1 < width; x += kBlock) filterEdge(plane + y * stride + x, 1, strength);
}

}  // namespace kinolux::video
