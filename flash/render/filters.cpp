#include "flash/render/filters.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace flash::render {
namespace {

double px(swf::Fixed16 v) { return v / 65536.0; }

// A box of the given width over one line of samples (with a stride),
// centred on each output pixel; where the box ends on a pixel centre (an
// even width) that pixel counts half.
void blurLine(std::uint8_t* data, int count, int stride, int window, std::vector<int>& buffer) {
    if (window <= 1 || count <= 0) return;
    // The box covers [-before, window - before] around the pixel, in pixels.
    const double before = window / 2.0;
    const double after = window - before;
    const bool halfBefore = before == std::floor(before), halfAfter = after == std::floor(after);
    const int fullFirst = int(std::ceil(0.5 - before)), fullLast = int(std::floor(after - 0.5));
    const int lo = -int(before), hi = int(after);  // the half-weighted offsets, when there are any
    auto at = [&](int i) { return i >= 0 && i < count ? int(data[std::size_t(i) * stride]) : 0; };
    buffer.resize(std::size_t(count));
    int sum = 0;  // twice the weighted sum
    for (int k = fullFirst; k <= fullLast; ++k) sum += 2 * at(k);
    if (halfBefore) sum += at(lo);
    if (halfAfter) sum += at(hi);
    for (int i = 0; i < count; ++i) {
        buffer[std::size_t(i)] = sum;
        sum += 2 * (at(i + fullLast + 1) - at(i + fullFirst));
        if (halfBefore) sum += at(i + lo + 1) - at(i + lo);
        if (halfAfter) sum += at(i + hi + 1) - at(i + hi);
    }
    for (int i = 0; i < count; ++i)
        data[std::size_t(i) * stride] = std::uint8_t((buffer[std::size_t(i)] + window) / (2 * window));
}

// A filter's shadow, glow or bevel parts are drawn from the picture's alpha.
QImage alphaPlane(const QImage& image) {
    QImage a(image.size(), QImage::Format_Alpha8);
    for (int y = 0; y < image.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* dst = a.scanLine(y);
        for (int x = 0; x < image.width(); ++x) dst[x] = std::uint8_t(qAlpha(src[x]));
    }
    return a;
}

// Box blur of each of the channels interleaved in a picture's rows,
// repeated passes times (none at quality 0, as the player does); widths in
// pixels per axis.
void blurChannels(std::uint8_t* bits, int width, int height, int bytesPerLine, int channels, double blurX,
                  double blurY, int passes) {
    int wx = int(std::lround(blurX)), wy = int(std::lround(blurY));
    std::vector<int> buffer;
    for (int pass = 0; pass < passes; ++pass)
        for (int c = 0; c < channels; ++c) {
            if (wx > 1)
                for (int y = 0; y < height; ++y) blurLine(bits + std::size_t(y) * bytesPerLine + c, width, channels, wx, buffer);
            if (wy > 1)
                for (int x = 0; x < width; ++x) blurLine(bits + std::size_t(x) * channels + c, height, bytesPerLine, wy, buffer);
        }
}

void blurPlane(QImage& plane, double bx, double by, int passes) {
    blurChannels(plane.bits(), plane.width(), plane.height(), int(plane.bytesPerLine()), 1, bx, by, passes);
}

std::uint8_t sampleShifted(const QImage& plane, int x, int y, int dx, int dy, std::uint8_t outside = 0) {
    int sx = x - dx, sy = y - dy;
    if (sx < 0 || sy < 0 || sx >= plane.width() || sy >= plane.height()) return outside;
    return plane.constScanLine(sy)[sx];
}

QRgb premultiplied(const QColor& c, int alpha) {
    int a = alpha * c.alpha() / 255;
    return qRgba(c.red() * a / 255, c.green() * a / 255, c.blue() * a / 255, a);
}

QRgb over(QRgb top, QRgb bottom) {
    int ia = 255 - qAlpha(top);
    return qRgba(qRed(top) + qRed(bottom) * ia / 255, qGreen(top) + qGreen(bottom) * ia / 255,
                 qBlue(top) + qBlue(bottom) * ia / 255, qAlpha(top) + qAlpha(bottom) * ia / 255);
}

QRgb scaleBy(QRgb c, int a) {
    return qRgba(qRed(c) * a / 255, qGreen(c) * a / 255, qBlue(c) * a / 255, qAlpha(c) * a / 255);
}

// Shadows and glows: a blurred, tinted, shifted copy of the alpha combined
// with the source by the inner, knockout and composite-source flags.
// colorAt maps a coverage value 0..255 to a premultiplied colour.
template <class ColorAt>
void shadowLike(QImage& image, double bx, double by, int passes, double strength, double dx, double dy,
                bool inner, bool knockout, bool composite, ColorAt colorAt) {
    QImage plane = alphaPlane(image);
    if (inner)
        for (int y = 0; y < plane.height(); ++y) {
            std::uint8_t* row = plane.scanLine(y);
            for (int x = 0; x < plane.width(); ++x) row[x] = std::uint8_t(255 - row[x]);
        }
    blurPlane(plane, bx, by, passes);
    int ix = int(std::lround(dx)), iy = int(std::lround(dy));
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Beyond the picture an inner shadow's inverted alpha is full.
            int cover = std::min(255, int(sampleShifted(plane, x, y, ix, iy, inner ? 255 : 0) * strength));
            QRgb src = row[x];
            int sa = qAlpha(src);
            QRgb shadow = colorAt(cover);
            if (inner) {
                QRgb masked = scaleBy(shadow, sa);
                row[x] = knockout || !composite ? masked : over(masked, src);
            } else {
                QRgb outside = scaleBy(shadow, 255 - sa);
                if (knockout)
                    row[x] = outside;
                else if (!composite)
                    row[x] = shadow;
                else
                    row[x] = over(src, shadow);
            }
        }
    }
}

void colorMatrix(QImage& image, const float* m) {
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QRgb p = row[x];
            int a = qAlpha(p);
            double r = a ? qRed(p) * 255.0 / a : 0, g = a ? qGreen(p) * 255.0 / a : 0, b = a ? qBlue(p) * 255.0 / a : 0;
            double v[4];
            for (int k = 0; k < 4; ++k)
                v[k] = std::clamp(m[5 * k] * r + m[5 * k + 1] * g + m[5 * k + 2] * b + m[5 * k + 3] * a + m[5 * k + 4], 0.0, 255.0);
            int na = int(std::lround(v[3]));
            row[x] = qRgba(int(std::lround(v[0] * na / 255)), int(std::lround(v[1] * na / 255)),
                           int(std::lround(v[2] * na / 255)), na);
        }
    }
}

void convolution(QImage& image, const swf::ConvolutionFilter& f) {
    if (f.columns == 0 || f.rows == 0 || f.matrix.size() != std::size_t(f.columns) * f.rows) return;
    QImage src = image.convertToFormat(QImage::Format_ARGB32);
    QImage dst(src.size(), QImage::Format_ARGB32);
    double divisor = f.divisor == 0 ? 1 : f.divisor;
    int cx = f.columns / 2, cy = f.rows / 2;
    for (int y = 0; y < src.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(dst.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            double acc[4] = {0, 0, 0, 0};
            for (int j = 0; j < f.rows; ++j)
                for (int i = 0; i < f.columns; ++i) {
                    int sx = x + i - cx, sy = y + j - cy;
                    QRgb p;
                    if (sx < 0 || sy < 0 || sx >= src.width() || sy >= src.height()) {
                        if (f.clamp) {
                            sx = std::clamp(sx, 0, src.width() - 1);
                            sy = std::clamp(sy, 0, src.height() - 1);
                            p = reinterpret_cast<const QRgb*>(src.constScanLine(sy))[sx];
                        } else {
                            p = qRgba(f.defaultColor.r, f.defaultColor.g, f.defaultColor.b, f.defaultColor.a);
                        }
                    } else {
                        p = reinterpret_cast<const QRgb*>(src.constScanLine(sy))[sx];
                    }
                    double k = f.matrix[std::size_t(j) * f.columns + i];
                    acc[0] += qRed(p) * k;
                    acc[1] += qGreen(p) * k;
                    acc[2] += qBlue(p) * k;
                    acc[3] += qAlpha(p) * k;
                }
            auto ch = [&](int k) { return std::clamp(int(std::lround(acc[k] / divisor + f.bias)), 0, 255); };
            int a = f.preserveAlpha ? qAlpha(reinterpret_cast<const QRgb*>(src.constScanLine(y))[x]) : ch(3);
            out[x] = qRgba(ch(0), ch(1), ch(2), a);
        }
    }
    image = dst.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void bevel(QImage& image, const QColor& highlight, const QColor& shadowColor, double bx, double by, int passes,
           double strength, double dx, double dy, bool inner, bool onTop, bool knockout,
           const std::vector<QRgb>* gradient) {
    QImage plane = alphaPlane(image);
    blurPlane(plane, bx, by, passes);
    int ix = int(std::lround(dx)), iy = int(std::lround(dy));
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // The highlight falls where the shape lies further along the
            // light's angle than against it, the shadow the other way round.
            int ahead = sampleShifted(plane, x, y, -ix, -iy), behind = sampleShifted(plane, x, y, ix, iy);
            int h = std::clamp(int((ahead - behind) * strength), 0, 255);
            int s = std::clamp(int((behind - ahead) * strength), 0, 255);
            QRgb effect;
            if (gradient) {
                int v = std::clamp(128 + (h - s) / 2, 0, 255);
                effect = (*gradient)[std::size_t(v)];
            } else {
                effect = over(premultiplied(highlight, h), premultiplied(shadowColor, s));
            }
            QRgb src = row[x];
            int sa = qAlpha(src);
            if (!onTop) effect = scaleBy(effect, inner ? sa : 255 - sa);
            row[x] = knockout ? effect : (inner || onTop ? over(effect, src) : over(src, effect));
        }
    }
}

std::vector<QRgb> gradientPalette(const std::vector<swf::GradientRecord>& colors) {
    std::vector<QRgb> palette(256, 0);
    if (colors.empty()) return palette;
    for (int i = 0; i < 256; ++i) {
        const swf::GradientRecord* a = &colors.front();
        const swf::GradientRecord* b = &colors.back();
        for (std::size_t k = 0; k + 1 < colors.size(); ++k)
            if (i >= colors[k].ratio && i <= colors[k + 1].ratio) {
                a = &colors[k];
                b = &colors[k + 1];
                break;
            }
        double t = b->ratio == a->ratio ? 0 : std::clamp((i - a->ratio) / double(b->ratio - a->ratio), 0.0, 1.0);
        if (i < colors.front().ratio) t = 0;
        auto mix = [&](int u, int v) { return int(std::lround(u + (v - u) * t)); };
        QColor c(mix(a->color.r, b->color.r), mix(a->color.g, b->color.g), mix(a->color.b, b->color.b),
                 mix(a->color.a, b->color.a));
        palette[std::size_t(i)] = premultiplied(c, 255);
    }
    return palette;
}

QColor qcolor(const swf::Color& c) { return QColor(c.r, c.g, c.b, c.a); }

void boxBlur(QImage& image, double blurX, double blurY, int passes) {
    blurChannels(image.bits(), image.width(), image.height(), int(image.bytesPerLine()), 4, blurX, blurY, passes);
}

}  // namespace

QMarginsF filterMargins(const swf::Filter& f, double scale) {
    auto margins = [&](swf::Fixed16 bx, swf::Fixed16 by, int passes, swf::Fixed16 distance) {
        double mx = (px(bx) * std::max(1, passes) / 2 + std::abs(px(distance))) * scale + 2;
        double my = (px(by) * std::max(1, passes) / 2 + std::abs(px(distance))) * scale + 2;
        return QMarginsF(mx, my, mx, my);
    };
    return std::visit([&](const auto& v) -> QMarginsF {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, swf::DropShadowFilter> || std::is_same_v<T, swf::BevelFilter> ||
                      std::is_same_v<T, swf::GradientFilter>)
            return margins(v.blurX, v.blurY, v.passes, v.distance);
        else if constexpr (std::is_same_v<T, swf::BlurFilter> || std::is_same_v<T, swf::GlowFilter>)
            return margins(v.blurX, v.blurY, v.passes, 0);
        else if constexpr (std::is_same_v<T, swf::ConvolutionFilter>)
            return QMarginsF(v.columns, v.rows, v.columns, v.rows);
        else
            return QMarginsF();
    }, f);
}

void applyFilter(QImage& image, const swf::Filter& filter, double scale) {
    std::visit([&](const auto& f) {
        using T = std::decay_t<decltype(f)>;
        if constexpr (std::is_same_v<T, swf::BlurFilter>) {
            boxBlur(image, px(f.blurX) * scale, px(f.blurY) * scale, f.passes);
        } else if constexpr (std::is_same_v<T, swf::DropShadowFilter>) {
            double angle = px(f.angle), dist = px(f.distance) * scale;
            QColor c = qcolor(f.color);
            shadowLike(image, px(f.blurX) * scale, px(f.blurY) * scale, f.passes, f.strength / 256.0,
                       std::cos(angle) * dist, std::sin(angle) * dist, f.inner, f.knockout, f.compositeSource,
                       [&](int cover) { return premultiplied(c, cover); });
        } else if constexpr (std::is_same_v<T, swf::GlowFilter>) {
            QColor c = qcolor(f.color);
            shadowLike(image, px(f.blurX) * scale, px(f.blurY) * scale, f.passes, f.strength / 256.0, 0, 0, f.inner,
                       f.knockout, f.compositeSource, [&](int cover) { return premultiplied(c, cover); });
        } else if constexpr (std::is_same_v<T, swf::BevelFilter>) {
            double angle = px(f.angle), dist = px(f.distance) * scale;
            bevel(image, qcolor(f.highlightColor), qcolor(f.shadowColor), px(f.blurX) * scale, px(f.blurY) * scale,
                  f.passes, f.strength / 256.0, std::cos(angle) * dist, std::sin(angle) * dist, f.inner, f.onTop,
                  f.knockout, nullptr);
        } else if constexpr (std::is_same_v<T, swf::GradientFilter>) {
            auto palette = gradientPalette(f.colors);
            double angle = px(f.angle), dist = px(f.distance) * scale;
            if (f.bevel) {
                bevel(image, QColor(), QColor(), px(f.blurX) * scale, px(f.blurY) * scale, f.passes, f.strength / 256.0,
                      std::cos(angle) * dist, std::sin(angle) * dist, f.inner, f.onTop, f.knockout, &palette);
            } else {
                shadowLike(image, px(f.blurX) * scale, px(f.blurY) * scale, f.passes, f.strength / 256.0,
                           std::cos(angle) * dist, std::sin(angle) * dist, f.inner, f.knockout, f.compositeSource,
                           [&](int cover) { return palette[std::size_t(cover)]; });
            }
        } else if constexpr (std::is_same_v<T, swf::ColorMatrixFilter>) {
            colorMatrix(image, f.matrix);
        } else if constexpr (std::is_same_v<T, swf::ConvolutionFilter>) {
            convolution(image, f);
        }
    }, filter);
}

}  // namespace flash::render
