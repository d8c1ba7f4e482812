// The H.263 deblocking filter on hand-made planes, with values worked out
// from the filter's definition, and the picture header fields it reads.
#include "flash/video/deblocking_filter.h"
#include "flash/video/h263_header.h"

#include <gtest/gtest.h>

#include <vector>

namespace kinolux::video {
namespace {

using Plane = std::vector<std::uint8_t>;

// Columns left of `edge` are `left`, the rest `right`.
Plane columns(int width, int height, int edge, std::uint8_t left, std::uint8_t right)
{
    Plane plane(std::size_t(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) plane[std::size_t(y * width + x)] = x < edge ? left : right;
    return plane;
}

std::vector<int> row(const Plane& plane, int width, int y)
{
    return {plane.begin() + y * width, plane.begin() + (y + 1) * width};
}

TEST(DeblockingFilter, SmallStepsAtBlockEdgesAreSmoothedByTheQuantizersStrength)
{
    // 31 | 16 at the strongest setting: d = floor(-45 / 8) = -6 moves the two
    // samples next to the edge, half of it the two beyond.
    Plane plane = columns(16, 8, 8, 31, 16);
    deblockPlane(plane.data(), 16, 8, 16, 31);
    const std::vector<int> want = {31, 31, 31, 31, 31, 31, 28, 25, 22, 19, 16, 16, 16, 16, 16, 16};
    for (int y = 0; y < 8; ++y) EXPECT_EQ(row(plane, 16, y), want) << "row " << y;

    // The weakest setting only takes off a step of one or two levels.
    plane = columns(16, 8, 8, 31, 16);
    deblockPlane(plane.data(), 16, 8, 16, 1);
    EXPECT_EQ(row(plane, 16, 0), row(columns(16, 8, 8, 31, 16), 16, 0));
    plane = columns(16, 1, 8, 18, 16);
    deblockPlane(plane.data(), 16, 1, 16, 1);
    EXPECT_EQ(row(plane, 16, 0), (std::vector<int>{18, 18, 18, 18, 18, 18, 18, 17, 17, 16, 16, 16, 16, 16, 16, 16}));
}

TEST(DeblockingFilter, RealEdgesAndBlockInteriorsAreKept)
{
    // A step of twice the strength or more is picture content.
    Plane plane = columns(16, 8, 8, 200, 16);
    const Plane before = plane;
    deblockPlane(plane.data(), 16, 8, 16, 31);
    EXPECT_EQ(plane, before);

    // Steps inside a block are not block edges.
    plane = columns(16, 8, 5, 31, 16);
    const Plane inside = plane;
    deblockPlane(plane.data(), 16, 8, 16, 31);
    EXPECT_EQ(plane, inside);
}

TEST(DeblockingFilter, RowsAreFilteredBeforeColumnsAndStrideIsHonoured)
{
    // One brighter block in the corner of four, in a plane with padding
    // after each row.
    const int width = 16, height = 16, stride = 24;
    Plane plane(std::size_t(stride * height), 99);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) plane[std::size_t(y * stride + x)] = x >= 8 && y >= 8 ? 24 : 16;
    deblockPlane(plane.data(), width, height, stride, 31);
    for (int y = 0; y < height; ++y)
        for (int x = width; x < stride; ++x) ASSERT_EQ(plane[std::size_t(y * stride + x)], 99);
    // Filtering the columns first would give the mirror image: 16 and 17.
    auto at = [&](int x, int y) { return int(plane[std::size_t(y * stride + x)]); };
    EXPECT_EQ(at(8, 6), 17);
    EXPECT_EQ(at(6, 8), 16);
}

TEST(H263PictureHeader, ReadsTypeDeblockingAndQuantizer)
{
    // Start code 1 (17 bits), version 0, temporal reference 0, size 2
    // (a fixed size), picture type 1, deblocking 1, quantizer 21.
    const std::vector<std::uint8_t> inter = {0x00, 0x00, 0x80, 0x01, 0x3A, 0x80};
    const auto header = readH263PictureHeader(inter);
    ASSERT_TRUE(header);
    EXPECT_FALSE(header->intra);
    EXPECT_TRUE(header->deblocking);
    EXPECT_EQ(header->quantizer, 21u);

    EXPECT_FALSE(readH263PictureHeader(std::vector<std::uint8_t>(inter.begin(), inter.begin() + 5)));
    EXPECT_FALSE(readH263PictureHeader(std::vector<std::uint8_t>{0x00, 0x01, 0x80, 0x01, 0x3A, 0x80}));
}

}  // namespace
}  // namespace kinolux::video
