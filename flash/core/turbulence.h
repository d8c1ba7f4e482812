// Perlin turbulence as the SVG feTurbulence filter defines it (lattice of
// random gradients from the Park and Miller generator), which is the noise
// BitmapData.perlinNoise draws; octaves may be shifted each by an offset.
#pragma once

#include <QPointF>
#include <array>
#include <cstdint>
#include <vector>

namespace flash {

class Turbulence {
public:
    explicit Turbulence(std::int64_t seed);

    struct Settings {
        double baseFrequencyX = 0, baseFrequencyY = 0;
        int octaves = 1;
        bool fractalSum = false;
        bool stitch = false;
        double tileWidth = 0, tileHeight = 0;  // the stitched tile, from (0, 0)
        const std::vector<QPointF>* offsets = nullptr;  // per octave
    };
    // The noise of one colour channel (0..3) at a point: -1..1 for a fractal
    // sum, 0..1 for turbulence.
    double at(int channel, QPointF point, const Settings& settings) const;

private:
    struct Stitch {
        int width, height, wrapX, wrapY;
    };
    double noise2(int channel, double x, double y, const Stitch* stitch) const;

    static constexpr int kSize = 0x100;
    std::array<int, kSize + kSize + 2> lattice_{};
    std::array<std::array<std::array<double, 2>, kSize + kSize + 2>, 4> gradient_{};
};

}  // namespace flash
