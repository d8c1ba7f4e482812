// What scripts can do to the pixels of a BitmapData, with the Flash
// player's rules for clipping, premultiplied alpha and rounding. Colours
// go in and out as straight (not premultiplied) 32-bit ARGB.
#pragma once

#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "flash/core/bitmap_data.h"
#include "flash/core/color_transform.h"

namespace flash::pixels {

void fillRect(BitmapData& target, QRect rect, std::uint32_t argb);
// False when nothing was filled (out of range, or the colour is there already).
bool floodFill(BitmapData& target, int x, int y, std::uint32_t argb);
// Copies a rectangle of source to destPoint; with alphaSource, alpha comes
// from that bitmap (at alphaPoint); mergeAlpha blends over what is there.
void copyPixels(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint,
                const BitmapData* alphaSource, QPoint alphaPoint, bool mergeAlpha);
// Channels as BitmapDataChannel numbers them: 1 red, 2 green, 4 blue, 8 alpha.
void copyChannel(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint, int sourceChannel,
                 int destChannel);
void colorTransform(BitmapData& target, QRect rect, const ColorTransform& cx);
void noise(BitmapData& target, std::int32_t seed, int low, int high, int channels, bool grayScale);
// Offsets: one per octave (missing ones are 0).
void perlinNoise(BitmapData& target, double baseX, double baseY, int octaves, std::int32_t seed, bool stitch,
                 bool fractalNoise, int channels, bool grayScale, const std::vector<QPointF>& offsets);
// The order pixelDissolve visits the pixels of a width x height area in:
// a pseudo-random walk that passes every pixel but (0, 0) once per round.
class DissolveWalk {
public:
    DissolveWalk(int width, int height, std::uint32_t seed);
    // How many pixels one round passes (0 when the area has one pixel).
    std::uint32_t cells() const;
    QPoint position() const;
    void advance();
    std::uint32_t state() const { return state_; }

private:
    void step();
    bool inside() const;
    void settle();

    std::uint32_t width_, height_;
    int yBits_ = 0;
    std::uint32_t taps_ = 0, full_ = 0, state_ = 0;
};

// Writes (0, 0) and then numPixels pixels (taken as unsigned) of the walk
// from the seed; returns the seed to pass next time.
std::int32_t pixelDissolve(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint,
                           std::int32_t seed, std::int32_t numPixels, std::uint32_t fillArgb);
enum class Comparison { Less, LessOrEqual, Greater, GreaterOrEqual, Equal, NotEqual };
// The comparison threshold's operation string names ("<", "==", ...).
std::optional<Comparison> comparisonNamed(std::u16string_view name);
// Returns how many pixels passed the test.
std::uint32_t threshold(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint, Comparison op,
                        std::uint32_t threshold, std::uint32_t argb, std::uint32_t mask, bool copySource);
void scroll(BitmapData& target, int dx, int dy);
void merge(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint, int redMultiplier,
           int greenMultiplier, int blueMultiplier, int alphaMultiplier);
void paletteMap(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint,
                const std::array<std::array<std::uint32_t, 256>, 4>& maps);
// The pixel-by-pixel difference, or nullopt when the two are the same.
std::optional<QImage> compare(const BitmapData& a, const BitmapData& b);
// The smallest rectangle around the pixels whose (premultiplied) colour
// masked equals the colour (or, with findColor false, does not).
QRect colorBoundsRect(const BitmapData& bitmap, std::uint32_t mask, std::uint32_t argb, bool findColor);
bool hitTestPoint(const BitmapData& bitmap, int alphaThreshold, QPoint p);
bool hitTestRect(const BitmapData& bitmap, int alphaThreshold, QRect r);
bool hitTestBitmap(const BitmapData& bitmap, QPoint at, int threshold, const BitmapData& other, QPoint otherAt,
                   int otherThreshold);

}  // namespace flash::pixels
