#include "flash/core/turbulence.h"

#include <cmath>

namespace flash {
namespace {

constexpr std::int64_t kRandM = 2147483647;  // 2^31 - 1
constexpr std::int64_t kRandA = 16807;       // 7^5
constexpr std::int64_t kRandQ = 127773;      // m / a
constexpr std::int64_t kRandR = 2836;        // m % a
constexpr int kPerlinN = 0x1000;
constexpr int kMask = 0xFF;

std::int64_t setupSeed(std::int64_t seed) {
    if (seed <= 0) seed = -(seed % (kRandM - 1)) + 1;
    if (seed > kRandM - 1) seed = kRandM - 1;
    return seed;
}

std::int64_t nextRandom(std::int64_t seed) {
    std::int64_t r = kRandA * (seed % kRandQ) - kRandR * (seed / kRandQ);
    if (r <= 0) r += kRandM;
    return r;
}

double sCurve(double t) { return t * t * (3.0 - 2.0 * t); }
double lerp(double t, double a, double b) { return a + t * (b - a); }

}  // namespace

Turbulence::Turbulence(std::int64_t seed) {
    seed = setupSeed(seed);
    for (auto& channel : gradient_) {
        for (int i = 0; i < kSize; ++i) {
            lattice_[std::size_t(i)] = i;
            for (int j = 0; j < 2; ++j) {
                seed = nextRandom(seed);
                channel[std::size_t(i)][std::size_t(j)] = double((seed % (kSize + kSize)) - kSize) / kSize;
            }
            auto& g = channel[std::size_t(i)];
            const double s = std::sqrt(g[0] * g[0] + g[1] * g[1]);
            if (s > 0) {
                g[0] /= s;
                g[1] /= s;
            }
        }
    }
    for (int i = kSize - 1; i > 0; --i) {
        const int k = lattice_[std::size_t(i)];
        seed = nextRandom(seed);
        const std::size_t j = std::size_t(seed % kSize);
        lattice_[std::size_t(i)] = lattice_[j];
        lattice_[j] = k;
    }
    for (int i = 0; i < kSize + 2; ++i) {
        lattice_[std::size_t(kSize + i)] = lattice_[std::size_t(i)];
        for (auto& channel : gradient_) channel[std::size_t(kSize + i)] = channel[std::size_t(i)];
    }
}

double Turbulence::noise2(int channel, double x, double y, const Stitch* stitch) const {
    const double tx = x + kPerlinN, ty = y + kPerlinN;
    int bx0 = int(tx), by0 = int(ty);
    int bx1 = bx0 + 1, by1 = by0 + 1;
    const double rx0 = tx - int(tx), ry0 = ty - int(ty);
    const double rx1 = rx0 - 1.0, ry1 = ry0 - 1.0;
    if (stitch) {
        if (bx0 >= stitch->wrapX) bx0 -= stitch->width;
        if (bx1 >= stitch->wrapX) bx1 -= stitch->width;
        if (by0 >= stitch->wrapY) by0 -= stitch->height;
        if (by1 >= stitch->wrapY) by1 -= stitch->height;
    }
    bx0 &= kMask;
    bx1 &= kMask;
    by0 &= kMask;
    by1 &= kMask;
    const int i = lattice_[std::size_t(bx0)], j = lattice_[std::size_t(bx1)];
    const auto& g = gradient_[std::size_t(channel)];
    const auto& q00 = g[std::size_t(lattice_[std::size_t(i + by0)])];
    const auto& q10 = g[std::size_t(lattice_[std::size_t(j + by0)])];
    const auto& q01 = g[std::size_t(lattice_[std::size_t(i + by1)])];
    const auto& q11 = g[std::size_t(lattice_[std::size_t(j + by1)])];
    const double sx = sCurve(rx0), sy = sCurve(ry0);
    const double a = lerp(sx, rx0 * q00[0] + ry0 * q00[1], rx1 * q10[0] + ry0 * q10[1]);
    const double b = lerp(sx, rx0 * q01[0] + ry1 * q01[1], rx1 * q11[0] + ry1 * q11[1]);
    return lerp(sy, a, b);
}

double Turbulence::at(int channel, QPointF point, const Settings& s) const {
    double fx = s.baseFrequencyX, fy = s.baseFrequencyY;
    Stitch stitch{};
    const Stitch* stitching = nullptr;
    if (s.stitch) {
        // Frequencies move to the nearest ones whose period divides the tile.
        auto adjust = [](double f, double tile) {
            if (f == 0 || tile <= 0) return f;
            const double lo = std::floor(tile * f) / tile, hi = std::ceil(tile * f) / tile;
            return lo > 0 && f / lo < hi / f ? lo : hi;
        };
        fx = adjust(fx, s.tileWidth);
        fy = adjust(fy, s.tileHeight);
        stitch.width = int(s.tileWidth * fx + 0.5);
        stitch.height = int(s.tileHeight * fy + 0.5);
        stitch.wrapX = kPerlinN + stitch.width;
        stitch.wrapY = kPerlinN + stitch.height;
        stitching = &stitch;
    }
    double sum = 0, ratio = 1;
    for (int octave = 0; octave < s.octaves; ++octave) {
        QPointF offset = s.offsets && std::size_t(octave) < s.offsets->size() ? (*s.offsets)[std::size_t(octave)] : QPointF();
        const double n = noise2(channel, (point.x() + offset.x()) * fx * ratio, (point.y() + offset.y()) * fy * ratio, stitching);
        sum += (s.fractalSum ? n : std::fabs(n)) / ratio;
        ratio *= 2;
        if (stitching) {
            stitch.width *= 2;
            stitch.wrapX = 2 * stitch.wrapX - kPerlinN;
            stitch.height *= 2;
            stitch.wrapY = 2 * stitch.wrapY - kPerlinN;
        }
    }
    return sum;
}

}  // namespace flash
