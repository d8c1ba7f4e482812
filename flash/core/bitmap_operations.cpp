#include "flash/core/bitmap_operations.h"

#include "flash/core/turbulence.h"

#include <QPointF>
#include <algorithm>
#include <cmath>

namespace flash::pixels {
namespace {

using Rgb = std::uint32_t;

std::uint32_t alphaOf(Rgb c) { return c >> 24; }
std::uint32_t redOf(Rgb c) { return (c >> 16) & 0xFF; }
std::uint32_t greenOf(Rgb c) { return (c >> 8) & 0xFF; }
std::uint32_t blueOf(Rgb c) { return c & 0xFF; }
Rgb argbOf(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

Rgb* row(BitmapData& b, int y) { return reinterpret_cast<Rgb*>(b.image().scanLine(y)); }
const Rgb* row(const BitmapData& b, int y) { return reinterpret_cast<const Rgb*>(b.image().constScanLine(y)); }
Rgb raw(const BitmapData& b, int x, int y) { return row(b, y)[x]; }

// Stores a straight colour premultiplied; opaque bitmaps keep alpha 255.
Rgb stored(const BitmapData& b, Rgb argb) {
    return BitmapData::premultiply(b.transparent() ? argb : (argb | 0xFF000000u));
}

// The source rectangle and destination point clipped to both bitmaps:
// the part of `size` that lies inside both, in each one's coordinates.
struct Span {
    QPoint src, dst;
    int w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
};

Span clip(QSize srcSize, QSize dstSize, QRect sourceRect, QPoint destPoint) {
    Span s{sourceRect.topLeft(), destPoint, sourceRect.width(), sourceRect.height()};
    auto cut = [&](int& a, int& b, int& extent, int limitA, int limitB) {
        if (a < 0) {
            b -= a;
            extent += a;
            a = 0;
        }
        if (b < 0) {
            a -= b;
            extent += b;
            b = 0;
        }
        extent = std::min({extent, limitA - a, limitB - b});
    };
    cut(s.src.rx(), s.dst.rx(), s.w, srcSize.width(), dstSize.width());
    cut(s.src.ry(), s.dst.ry(), s.h, srcSize.height(), dstSize.height());
    return s;
}

// Straight colours of the source part, read before anything is written
// (the source may be the target itself).
std::vector<Rgb> readStraight(const BitmapData& source, const Span& s) {
    std::vector<Rgb> out;
    out.reserve(std::size_t(s.w) * std::size_t(s.h));
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) out.push_back(BitmapData::unpremultiply(raw(source, s.src.x() + x, s.src.y() + y)));
    return out;
}

// `over` composited onto `under`, both premultiplied, in 8-bit steps as the
// player does: what shows through is scaled by 256 less the alpha, so a
// transparent pixel leaves what is under it exactly as it was.
Rgb blendOver(Rgb under, Rgb over) {
    const std::uint32_t inv = 256 - alphaOf(over);
    auto ch = [&](std::uint32_t u, std::uint32_t o) { return std::min<std::uint32_t>(255, o + ((u * inv) >> 8)); };
    return argbOf(ch(alphaOf(under), alphaOf(over)), ch(redOf(under), redOf(over)), ch(greenOf(under), greenOf(over)),
                  ch(blueOf(under), blueOf(over)));
}

// Whether a pixel counts for a hit test: its alpha reaches the threshold,
// and a fully transparent pixel never does, whatever the threshold.
bool solidAt(const BitmapData& b, int x, int y, int threshold) {
    return int(alphaOf(raw(b, x, y))) >= std::max(threshold, 1);
}

// Park and Miller's minimal standard generator, as noise() uses it.
class LehmerRandom {
public:
    explicit LehmerRandom(std::uint32_t seed) : x_(seed) {}
    std::uint32_t next() {
        x_ = std::uint32_t((std::uint64_t(x_) * 16807u) % 2147483647u);
        return x_;
    }
    int inRange(int low, int high) { return low + int(next() % std::uint32_t(high - low + 1)); }

private:
    std::uint32_t x_;
};

// The taps of a maximal-length Galois shift register of each width, so
// that it passes every non-zero state once per round.
constexpr std::uint32_t kDissolveTaps[] = {0,        0x1,      0x3,      0x6,      0xC,       0x14,     0x30,
                                           0x60,     0xB8,     0x110,    0x240,    0x500,     0x829,    0x100D,
                                           0x2015,   0x6000,   0xD008,   0x12000,  0x20400,   0x40023,  0x90000,
                                           0x140000, 0x300000, 0x420000, 0xE10000, 0x1200000, 0x2000023};

int bitsFor(std::uint32_t largest) {
    int bits = 0;
    while (largest >> bits) ++bits;
    return bits;
}

}  // namespace

DissolveWalk::DissolveWalk(int width, int height, std::uint32_t seed)
    : width_(std::uint32_t(std::max(width, 1))), height_(std::uint32_t(std::max(height, 1))) {
    yBits_ = bitsFor(height_ - 1);
    const int bits = yBits_ + bitsFor(width_ - 1);
    // Larger than any bitmap a script can make: only the first pixel goes.
    if (std::size_t(bits) >= std::size(kDissolveTaps)) return;
    taps_ = kDissolveTaps[bits];
    full_ = (1u << bits) - 1;
    state_ = seed;
    if (taps_ != 0) settle();
}

std::uint32_t DissolveWalk::cells() const { return taps_ == 0 ? 0 : width_ * height_ - 1; }

QPoint DissolveWalk::position() const { return QPoint(int(state_ >> yBits_), int(state_ & ((1u << yBits_) - 1))); }

void DissolveWalk::advance() {
    if (taps_ == 0) return;
    step();
    settle();
}

void DissolveWalk::step() { state_ = (state_ >> 1) ^ ((state_ & 1) ? taps_ : 0); }

bool DissolveWalk::inside() const {
    return state_ != 0 && state_ <= full_ && (state_ >> yBits_) < width_ && (state_ & ((1u << yBits_) - 1)) < height_;
}

// A seed beyond the register shifts down into it; zero, which the register
// never leaves, starts from all ones. Inside the register every state lies
// on the one round that holds all the pixels, so this ends.
void DissolveWalk::settle() {
    while (!inside()) {
        if (state_ == 0) state_ = full_;
        else step();
    }
}

namespace {

int channelShift(int channel) {
    switch (channel) {
    case 1: return 16;
    case 2: return 8;
    case 4: return 0;
    case 8: return 24;
    default: return -1;
    }
}

}  // namespace

void fillRect(BitmapData& target, QRect rect, std::uint32_t argb) {
    rect &= QRect(0, 0, target.width(), target.height());
    if (rect.isEmpty()) return;
    const Rgb c = stored(target, argb);
    for (int y = rect.top(); y <= rect.bottom(); ++y) std::fill(row(target, y) + rect.left(), row(target, y) + rect.right() + 1, c);
}

bool floodFill(BitmapData& target, int x, int y, std::uint32_t argb) {
    if (x < 0 || y < 0 || x >= target.width() || y >= target.height()) return false;
    const Rgb expected = raw(target, x, y);
    const Rgb replacement = stored(target, argb);
    if (expected == replacement) return false;
    std::vector<QPoint> pending{{x, y}};
    while (!pending.empty()) {
        QPoint p = pending.back();
        pending.pop_back();
        Rgb& c = row(target, p.y())[p.x()];
        if (c != expected) continue;
        c = replacement;
        if (p.x() > 0) pending.push_back({p.x() - 1, p.y()});
        if (p.y() > 0) pending.push_back({p.x(), p.y() - 1});
        if (p.x() + 1 < target.width()) pending.push_back({p.x() + 1, p.y()});
        if (p.y() + 1 < target.height()) pending.push_back({p.x(), p.y() + 1});
    }
    return true;
}

void copyPixels(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint,
                const BitmapData* alphaSource, QPoint alphaPoint, bool mergeAlpha) {
    Span s = clip(source.image().size(), target.image().size(), sourceRect, destPoint);
    if (s.empty()) return;
    std::vector<Rgb> copy;
    copy.reserve(std::size_t(s.w) * std::size_t(s.h));
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) copy.push_back(raw(source, s.src.x() + x, s.src.y() + y));
    const QPoint alphaOrigin = alphaPoint + (s.src - sourceRect.topLeft());
    const bool blend = (mergeAlpha || !target.transparent()) && (source.transparent() || alphaSource);
    for (int y = 0; y < s.h; ++y) {
        Rgb* out = row(target, s.dst.y() + y);
        for (int x = 0; x < s.w; ++x) {
            Rgb c = copy[std::size_t(y) * std::size_t(s.w) + std::size_t(x)];
            if (alphaSource) {
                const int ax = alphaOrigin.x() + x, ay = alphaOrigin.y() + y;
                if (ax < 0 || ay < 0 || ax >= alphaSource->width() || ay >= alphaSource->height()) continue;
                std::uint32_t a = alphaSource->transparent() ? alphaOf(raw(*alphaSource, ax, ay)) : 255;
                if (source.transparent()) a = (a * alphaOf(c)) >> 8;
                c = BitmapData::premultiply((BitmapData::unpremultiply(c) & 0xFFFFFF) | a << 24);
            }
            Rgb& d = out[s.dst.x() + x];
            d = blend ? blendOver(d, c) : c;
            if (!target.transparent()) d |= 0xFF000000u;
        }
    }
}

void copyChannel(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint, int sourceChannel,
                 int destChannel) {
    Span s = clip(source.image().size(), target.image().size(), sourceRect, destPoint);
    if (s.empty()) return;
    const int from = channelShift(sourceChannel), to = channelShift(destChannel);
    if (to < 0) return;
    std::vector<Rgb> src = readStraight(source, s);
    for (int y = 0; y < s.h; ++y) {
        for (int x = 0; x < s.w; ++x) {
            Rgb& d = row(target, s.dst.y() + y)[s.dst.x() + x];
            const std::uint32_t part = from < 0 ? 0 : (src[std::size_t(y) * std::size_t(s.w) + std::size_t(x)] >> from) & 0xFF;
            const Rgb straight = (BitmapData::unpremultiply(d) & ~(0xFFu << to)) | part << to;
            d = stored(target, straight);
        }
    }
}

// The player applies the transform to straight colours in 8.8 fixed
// point, truncating: half of 255 is 127.
void colorTransform(BitmapData& target, QRect rect, const ColorTransform& cx) {
    rect &= QRect(0, 0, target.width(), target.height());
    if (rect.isEmpty()) return;
    std::int64_t mul[4], add[4];
    for (int i = 0; i < 4; ++i) {
        mul[i] = std::int64_t(std::clamp(double(cx.mul[i]) * 256.0, -1e9, 1e9));
        add[i] = std::int64_t(std::clamp(double(cx.add[i]), -1e9, 1e9));
    }
    auto channel = [&](std::uint32_t c, int i) {
        return std::uint32_t(std::clamp<std::int64_t>(((std::int64_t(c) * mul[i]) >> 8) + add[i], 0, 255));
    };
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        Rgb* r = row(target, y);
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const Rgb c = BitmapData::unpremultiply(r[x]);
            r[x] = stored(target, argbOf(channel(alphaOf(c), 3), channel(redOf(c), 0), channel(greenOf(c), 1),
                                         channel(blueOf(c), 2)));
        }
    }
}

void noise(BitmapData& target, std::int32_t seed, int low, int high, int channels, bool grayScale) {
    LehmerRandom random(seed <= 0 ? std::uint32_t(1 - std::int64_t(seed)) : std::uint32_t(seed));
    low = std::clamp(low, 0, 255);
    high = std::clamp(high, low, 255);
    const bool alpha = target.transparent() && (channels & 8);
    for (int y = 0; y < target.height(); ++y) {
        Rgb* r = row(target, y);
        for (int x = 0; x < target.width(); ++x) {
            std::uint32_t red = 0, green = 0, blue = 0, a = 255;
            if (grayScale) {
                red = green = blue = std::uint32_t(random.inRange(low, high));
            } else {
                if (channels & 1) red = std::uint32_t(random.inRange(low, high));
                if (channels & 2) green = std::uint32_t(random.inRange(low, high));
                if (channels & 4) blue = std::uint32_t(random.inRange(low, high));
            }
            if (alpha) a = std::uint32_t(random.inRange(low, high));
            r[x] = stored(target, argbOf(a, red, green, blue));
        }
    }
}

// The player turns noise into bytes with its own rounding (for the
// fractal sum, the half is added before halving) and stores the channels
// as they come, without premultiplying.
void perlinNoise(BitmapData& target, double baseX, double baseY, int octaves, std::int32_t seed, bool stitch,
                 bool fractalNoise, int channels, bool grayScale, const std::vector<QPointF>& offsets) {
    const Turbulence turbulence(seed);
    Turbulence::Settings settings;
    settings.baseFrequencyX = baseX == 0 ? 0 : 1.0 / baseX;
    settings.baseFrequencyY = baseY == 0 ? 0 : 1.0 / baseY;
    settings.octaves = octaves;
    settings.fractalSum = fractalNoise;
    settings.stitch = stitch;
    settings.tileWidth = target.width();
    settings.tileHeight = target.height();
    settings.offsets = &offsets;
    auto toByte = [fractalNoise](double n) {
        const double v = fractalNoise ? ((n * 255.0 + 255.0) + 0.5) / 2.0 : n * 255.0 + 0.5;
        return std::uint32_t(std::clamp(v, 0.0, 255.0));
    };
    for (int y = 0; y < target.height(); ++y) {
        Rgb* r = row(target, y);
        for (int x = 0; x < target.width(); ++x) {
            const QPointF p(x, y);
            double n[4] = {-1, -1, -1, 1};
            if (grayScale) {
                n[0] = n[1] = n[2] = turbulence.at(0, p, settings);
                if (channels & 8) n[3] = turbulence.at(1, p, settings);
            } else {
                // Channels left out do not use up a noise channel.
                int next = 0;
                for (int c = 0; c < 4; ++c)
                    if (channels & (1 << c)) n[c] = turbulence.at(next++, p, settings);
            }
            // The player writes the noise into its premultiplied pixels as it
            // comes, unscaled by alpha; a colour above the alpha saturates.
            const std::uint32_t a = target.transparent() ? toByte(n[3]) : 255;
            r[x] = argbOf(a, std::min(a, toByte(n[0])), std::min(a, toByte(n[1])), std::min(a, toByte(n[2])));
        }
    }
}

// The player walks the area with a maximal-length shift register over
// the bits of x and y, so that every pixel but the first comes once per
// round of the register; the first is written by every call. The state
// left after the last pixel is the seed for the next call.
std::int32_t pixelDissolve(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint,
                           std::int32_t seed, std::int32_t numPixels, std::uint32_t fillArgb) {
    Span s = clip(source.image().size(), target.image().size(), sourceRect, destPoint);
    if (s.empty()) return seed;
    const bool fill = &source == &target;
    const Rgb fillColor = stored(target, fillArgb);
    // Source pixels go over as they are stored, translucent ones too.
    const QImage from = fill ? QImage() : source.image().copy(QRect(s.src, QSize(s.w, s.h)));
    auto dissolve = [&](int x, int y) {
        row(target, s.dst.y() + y)[s.dst.x() + x] =
            fill ? fillColor : reinterpret_cast<const Rgb*>(from.constScanLine(y))[x];
    };
    dissolve(0, 0);
    const std::uint32_t count = std::uint32_t(numPixels);
    if (count == 0) return seed;
    DissolveWalk walk(s.w, s.h, std::uint32_t(seed));
    const std::uint32_t cells = walk.cells();
    if (cells == 0) return seed;
    const std::uint32_t written = std::min(count, cells);
    for (std::uint32_t i = 0; i < written; ++i) {
        const QPoint p = walk.position();
        dissolve(p.x(), p.y());
        walk.advance();
    }
    // A count past one round only moves the register on.
    if (count > cells)
        for (std::uint32_t i = (count - cells) % cells; i > 0; --i) walk.advance();
    return std::int32_t(walk.state());
}

std::optional<Comparison> comparisonNamed(std::u16string_view name) {
    static constexpr std::pair<std::u16string_view, Comparison> kNames[] = {
        {u"<", Comparison::Less},    {u"<=", Comparison::LessOrEqual},
        {u">", Comparison::Greater}, {u">=", Comparison::GreaterOrEqual},
        {u"==", Comparison::Equal},  {u"!=", Comparison::NotEqual}};
    for (const auto& [n, c] : kNames)
        if (n == name) return c;
    return std::nullopt;
}

std::uint32_t threshold(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint, Comparison op,
                        std::uint32_t thresholdValue, std::uint32_t argb, std::uint32_t mask, bool copySource) {
    Span s = clip(source.image().size(), target.image().size(), sourceRect, destPoint);
    if (s.empty()) return 0;
    const std::vector<Rgb> src = readStraight(source, s);
    const std::uint32_t limit = thresholdValue & mask;
    std::uint32_t count = 0;
    for (int y = 0; y < s.h; ++y) {
        for (int x = 0; x < s.w; ++x) {
            const Rgb c = src[std::size_t(y) * std::size_t(s.w) + std::size_t(x)];
            const std::uint32_t v = c & mask;
            bool pass = false;
            switch (op) {
            case Comparison::Less: pass = v < limit; break;
            case Comparison::LessOrEqual: pass = v <= limit; break;
            case Comparison::Greater: pass = v > limit; break;
            case Comparison::GreaterOrEqual: pass = v >= limit; break;
            case Comparison::Equal: pass = v == limit; break;
            case Comparison::NotEqual: pass = v != limit; break;
            }
            Rgb& d = row(target, s.dst.y() + y)[s.dst.x() + x];
            if (pass) {
                d = stored(target, argb);
                ++count;
            } else if (copySource) {
                d = stored(target, c);
            }
        }
    }
    return count;
}

void scroll(BitmapData& target, int dx, int dy) {
    const int w = target.width(), h = target.height();
    if ((dx == 0 && dy == 0) || std::abs(dx) >= w || std::abs(dy) >= h) return;
    QImage copy = target.image().copy();
    for (int y = std::max(0, dy); y < std::min(h, h + dy); ++y) {
        const Rgb* from = reinterpret_cast<const Rgb*>(copy.constScanLine(y - dy));
        Rgb* to = row(target, y);
        for (int x = std::max(0, dx); x < std::min(w, w + dx); ++x) to[x] = from[x - dx];
    }
}

void merge(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint, int redMultiplier,
           int greenMultiplier, int blueMultiplier, int alphaMultiplier) {
    Span s = clip(source.image().size(), target.image().size(), sourceRect, destPoint);
    if (s.empty()) return;
    const std::vector<Rgb> src = readStraight(source, s);
    const std::uint32_t m[4] = {std::uint32_t(std::clamp(alphaMultiplier, 0, 256)), std::uint32_t(std::clamp(redMultiplier, 0, 256)),
                                std::uint32_t(std::clamp(greenMultiplier, 0, 256)), std::uint32_t(std::clamp(blueMultiplier, 0, 256))};
    for (int y = 0; y < s.h; ++y) {
        for (int x = 0; x < s.w; ++x) {
            Rgb& d = row(target, s.dst.y() + y)[s.dst.x() + x];
            const Rgb a = src[std::size_t(y) * std::size_t(s.w) + std::size_t(x)];
            const Rgb b = BitmapData::unpremultiply(d);
            std::uint32_t out = 0;
            for (int k = 0; k < 4; ++k) {
                const int shift = 24 - 8 * k;
                const std::uint32_t sa = (a >> shift) & 0xFF, db = (b >> shift) & 0xFF;
                out |= ((sa * m[k] + db * (256 - m[k])) / 256) << shift;
            }
            d = stored(target, out);
        }
    }
}

void paletteMap(BitmapData& target, const BitmapData& source, QRect sourceRect, QPoint destPoint,
                const std::array<std::array<std::uint32_t, 256>, 4>& maps) {
    Span s = clip(source.image().size(), target.image().size(), sourceRect, destPoint);
    if (s.empty()) return;
    const std::vector<Rgb> src = readStraight(source, s);
    for (int y = 0; y < s.h; ++y) {
        for (int x = 0; x < s.w; ++x) {
            const Rgb c = src[std::size_t(y) * std::size_t(s.w) + std::size_t(x)];
            const std::uint32_t sum = maps[0][redOf(c)] + maps[1][greenOf(c)] + maps[2][blueOf(c)] + maps[3][alphaOf(c)];
            row(target, s.dst.y() + y)[s.dst.x() + x] = stored(target, sum);
        }
    }
}

std::optional<QImage> compare(const BitmapData& a, const BitmapData& b) {
    QImage out(a.width(), a.height(), QImage::Format_ARGB32_Premultiplied);
    bool different = false;
    for (int y = 0; y < a.height(); ++y) {
        Rgb* o = reinterpret_cast<Rgb*>(out.scanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const Rgb p = BitmapData::unpremultiply(raw(a, x, y)), q = BitmapData::unpremultiply(raw(b, x, y));
            Rgb diff = 0;
            if (p != q) {
                different = true;
                if ((p & 0xFFFFFF) != (q & 0xFFFFFF)) {
                    diff = argbOf(0xFF, (redOf(p) - redOf(q)) & 0xFF, (greenOf(p) - greenOf(q)) & 0xFF, (blueOf(p) - blueOf(q)) & 0xFF);
                } else {
                    const std::uint32_t d = (alphaOf(p) - alphaOf(q)) & 0xFF;
                    diff = argbOf(d, 0xFF, 0xFF, 0xFF);
                }
            }
            o[x] = BitmapData::premultiply(diff);
        }
    }
    if (!different) return std::nullopt;
    return out;
}

// Pixels are compared as stored, premultiplied. A transparent bitmap
// compares colour and pixel both masked; an opaque one compares the masked
// pixel with the whole colour, alpha taken as opaque on both sides.
QRect colorBoundsRect(const BitmapData& bitmap, std::uint32_t mask, std::uint32_t argb, bool findColor) {
    std::uint32_t wanted = argb & mask;
    if (!bitmap.transparent()) {
        mask |= 0xFF000000u;
        wanted = argb | 0xFF000000u;
    }
    int minX = bitmap.width(), minY = bitmap.height(), maxX = -1, maxY = -1;
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const bool match = ((raw(bitmap, x, y) & mask) == wanted) == findColor;
            if (!match) continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    // The player takes a far corner still at the origin for nothing found,
    // so a lone match at (0, 0) gives an empty rectangle.
    if (maxX <= 0 && maxY <= 0) return {};
    return QRect(QPoint(minX, minY), QPoint(maxX, maxY));
}

bool hitTestPoint(const BitmapData& bitmap, int alphaThreshold, QPoint p) {
    if (p.x() < 0 || p.y() < 0 || p.x() >= bitmap.width() || p.y() >= bitmap.height()) return false;
    return solidAt(bitmap, p.x(), p.y(), alphaThreshold);
}

bool hitTestRect(const BitmapData& bitmap, int alphaThreshold, QRect r) {
    r &= QRect(0, 0, bitmap.width(), bitmap.height());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (solidAt(bitmap, x, y, alphaThreshold)) return true;
    return false;
}

bool hitTestBitmap(const BitmapData& bitmap, QPoint at, int threshold, const BitmapData& other, QPoint otherAt,
                   int otherThreshold) {
    const QRect mine(at, bitmap.image().size()), theirs(otherAt, other.image().size());
    const QRect both = mine & theirs;
    for (int y = both.top(); y <= both.bottom(); ++y) {
        for (int x = both.left(); x <= both.right(); ++x) {
            if (solidAt(bitmap, x - at.x(), y - at.y(), threshold) &&
                solidAt(other, x - otherAt.x(), y - otherAt.y(), otherThreshold))
                return true;
        }
    }
    return false;
}

}  // namespace flash::pixels
