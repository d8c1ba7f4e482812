#include "flash/render/paint.h"

#include "flash/core/bitmap_data.h"
#include "flash/core/geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace flash::render {
namespace {

constexpr double kGradientHalf = 16384.0;  // the gradient square is 32768 twips wide

double srgbToLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double linearToSrgb(double c) { return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055; }

// Flash applies a translucent stop's alpha to its colour in linear light
// and then again when it draws the colour, so such gradients come out
// darker than their stops; opaque ones are unaffected.
QColor mixLinear(const QColor& a, const QColor& b, double t) {
    const double alpha = (a.alpha() * (1 - t) + b.alpha() * t) / 255.0;
    auto ch = [&](double x, double y) {
        double v = srgbToLinear(x / 255.0) * (1 - t) + srgbToLinear(y / 255.0) * t;
        return int(std::lround(linearToSrgb(v * alpha) * 255.0));
    };
    return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()), int(std::lround(alpha * 255.0)));
}

QColor mixStraight(const QColor& a, const QColor& b, double t) {
    auto ch = [&](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()), ch(a.alpha(), b.alpha()));
}

QColor mix(const QColor& a, const QColor& b, double t, bool linear) {
    return linear ? mixLinear(a, b, t) : mixStraight(a, b, t);
}

// A stop's colour as the gradient shows it.
QColor stopColor(const QColor& c, bool linear) {
    return linear ? mixLinear(c, c, 0) : c;
}

bool ratiosIncrease(const swf::Gradient& g) {
    for (std::size_t i = 1; i < g.records.size(); ++i)
        if (g.records[i].ratio <= g.records[i - 1].ratio) return false;
    return true;
}

// Ratios that repeat or go back are laid out on the player's table of 256
// colours: each span between two records fills the table from where the
// last one stopped up to its end ratio, at least one entry, so records at
// one ratio show side by side as bands one entry wide.
QGradientStops tableStops(const swf::Gradient& g, const ColorTransform& cx) {
    constexpr int kEntries = 256;
    std::vector<QColor> colors;
    for (const auto& rec : g.records) colors.push_back(cx.apply(rec.color));
    const bool linear = g.interpolation == swf::InterpolationMode::LinearRgb;
    std::array<QColor, kEntries> table;
    int cursor = g.records.front().ratio;
    std::fill(table.begin(), table.begin() + cursor, stopColor(colors.front(), linear));
    for (std::size_t k = 0; k + 1 < g.records.size() && cursor < kEntries; ++k) {
        const int from = g.records[k].ratio, to = g.records[k + 1].ratio;
        const int end = std::min(kEntries, std::max(to, cursor + 1));
        for (; cursor < end; ++cursor) {
            const double t = to > from ? std::clamp(double(cursor - from) / (to - from), 0.0, 1.0) : 0.0;
            table[cursor] = mix(colors[k], colors[k + 1], t, linear);
        }
    }
    std::fill(table.begin() + cursor, table.end(), stopColor(colors.back(), linear));
    // Each entry holds its colour across its width, then changes at once.
    QGradientStops stops;
    for (int i = 0; i < kEntries; ++i) {
        if (i > 0 && table[i] == table[i - 1]) continue;
        if (i > 0) stops.append({i / double(kEntries) - 1e-6, table[i - 1]});
        stops.append({i / double(kEntries), table[i]});
    }
    stops.append({1.0, table.back()});
    return stops;
}

// Flash mixes gradient colours with straight alpha and, when asked, in
// linear RGB; Qt mixes premultiplied sRGB, so extra stops in between carry
// the Flash mix wherever the two would differ.
QGradientStops gradientStops(const swf::Gradient& g, const ColorTransform& cx) {
    if (g.records.size() > 1 && !ratiosIncrease(g)) return tableStops(g, cx);
    QGradientStops stops;
    double last = -1;
    QColor lastColor;
    for (const auto& rec : g.records) {
        double pos = rec.ratio / 255.0;
        // Qt needs strictly increasing positions; equal ratios make a hard edge.
        if (pos <= last) pos = std::min(1.0, last + 1e-6);
        QColor c = cx.apply(rec.color);
        bool linear = g.interpolation == swf::InterpolationMode::LinearRgb;
        if (last >= 0 && (linear || c.alpha() != lastColor.alpha()) && pos - last > 1e-3) {
            constexpr int kSteps = 16;
            for (int k = 1; k < kSteps; ++k) {
                double t = double(k) / kSteps;
                stops.append({last + (pos - last) * t, mix(lastColor, c, t, linear)});
            }
        }
        stops.append({pos, stopColor(c, linear)});
        last = pos;
        lastColor = c;
    }
    if (stops.isEmpty()) stops.append({0.0, QColor(0, 0, 0, 0)});
    return stops;
}

QGradient::Spread spreadOf(swf::SpreadMode m) {
    switch (m) {
    case swf::SpreadMode::Reflect: return QGradient::ReflectSpread;
    case swf::SpreadMode::Repeat: return QGradient::RepeatSpread;
    default: return QGradient::PadSpread;
    }
}

Qt::PenCapStyle capOf(swf::LineCap c) {
    switch (c) {
    case swf::LineCap::None: return Qt::FlatCap;
    case swf::LineCap::Square: return Qt::SquareCap;
    default: return Qt::RoundCap;
    }
}

Qt::PenJoinStyle joinOf(swf::LineJoin j) {
    switch (j) {
    case swf::LineJoin::Bevel: return Qt::BevelJoin;
    case swf::LineJoin::Miter: return Qt::MiterJoin;
    default: return Qt::RoundJoin;
    }
}

QPen linePen(const QPainter& p, const swf::LineStyle& s, const PaintStyle& ps) {
    QBrush brush = s.fill ? fillBrush(*s.fill, ps) : QBrush(ps.drawn(s.color));
    QPen pen(brush, s.width);
    pen.setCapStyle(capOf(s.startCap));
    pen.setJoinStyle(joinOf(s.join));
    if (s.join == swf::LineJoin::Miter) pen.setMiterLimit(std::max(1.0, s.miterLimit / 256.0));
    const QTransform& t = p.worldTransform();
    double scale = std::sqrt(std::abs(t.determinant()));
    // Scaled strokes never get thinner than one pixel; unscaled ones keep
    // their width in pixels.
    if (s.noHScale && s.noVScale) {
        pen.setCosmetic(true);
        pen.setWidthF(std::max(1.0, s.width / 20.0));
    } else if (s.width * scale < 0.99) {
        pen.setCosmetic(true);
        pen.setWidthF(1.0);
    }
    return pen;
}

}  // namespace

QGradient makeGradient(const swf::FillStyle& style, const ColorTransform& cx) {
    QGradient g;
    if (style.type == swf::FillType::LinearGradient) {
        g = QLinearGradient(-kGradientHalf, 0, kGradientHalf, 0);
    } else {
        double focal = std::clamp(style.focalPoint / 256.0, -0.998, 0.998);
        if (style.type == swf::FillType::FocalGradient)
            g = QRadialGradient(QPointF(0, 0), kGradientHalf, QPointF(focal * kGradientHalf, 0));
        else
            g = QRadialGradient(QPointF(0, 0), kGradientHalf);
    }
    g.setStops(gradientStops(style.gradient, cx));
    g.setSpread(spreadOf(style.gradient.spread));
    return g;
}

QImage transformBitmap(const QImage& image, const ColorTransform& cx) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            QRgb p = row[x];
            QColor c = cx.apply(swf::Color{std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)),
                                           std::uint8_t(qAlpha(p))});
            row[x] = c.rgba();
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QBrush fillBrush(const swf::FillStyle& style, const PaintStyle& ps, bool* smooth) {
    if (ps.coverageOnly) return QBrush(Qt::black);
    const ColorTransform& cx = *ps.colorTransform;
    if (style.type == swf::FillType::Solid) return QBrush(cx.apply(style.color));
    if (swf::isGradient(style.type)) {
        QBrush b(makeGradient(style, cx));
        b.setTransform(toQTransform(style.gradient.matrix));
        return b;
    }
    const bool clipped = style.type == swf::FillType::ClippedBitmap || style.type == swf::FillType::NonSmoothedClippedBitmap;
    const QImage* image = ps.bitmaps ? ps.bitmaps(style.bitmapId, clipped) : nullptr;
    if (!image || image->isNull()) return QBrush(Qt::NoBrush);
    if (smooth)
        *smooth = style.type == swf::FillType::RepeatingBitmap || style.type == swf::FillType::ClippedBitmap;
    QBrush b(cx.isIdentity() ? *image : transformBitmap(*image, cx));
    QTransform t = toQTransform(style.bitmapMatrix);
    if (clipped) t = QTransform::fromTranslate(-kClampBorder, -kClampBorder) * t;
    b.setTransform(t);
    return b;
}

namespace {

// `paint`, when given, replaces the line's own brush (a bitmap line).
void strokeWith(QPainter& p, const QPainterPath& path, const swf::LineStyle& style, const PaintStyle& ps,
                const QBrush* paint = nullptr) {
    QPen pen = linePen(p, style, ps);
    if (paint) pen.setBrush(*paint);
    if (pen.isCosmetic()) {
        p.strokePath(path, pen);
        return;
    }
    // Filled as an outline: Qt draws pens up to a pixel wide as one-pixel
    // lines, thinner than the area they cover.
    QPainterPathStroker stroker(pen);
    QPainterPath outline = stroker.createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    p.fillPath(outline, pen.brush());
}

QBrush drawingBrush(const DrawingFill& fill, const PaintStyle& ps) {
    if (!fill.bitmap) return fillBrush(fill.style, ps);
    if (ps.coverageOnly) return QBrush(Qt::black);
    if (!fill.bitmap->valid()) return QBrush(Qt::NoBrush);
    const ColorTransform& cx = *ps.colorTransform;
    QBrush b(cx.isIdentity() ? fill.bitmap->image() : transformBitmap(fill.bitmap->image(), cx));
    b.setTransform(fill.bitmapMatrix);
    return b;
}

}  // namespace

void paintGeometry(QPainter& p, const ShapeGeometry& g, const PaintStyle& ps) {
    for (const auto& group : g.groups) {
        for (const auto& f : group.fills) {
            bool smooth = false;
            QBrush brush = fillBrush(f.style, ps, &smooth);
            if (brush.style() == Qt::NoBrush) continue;
            p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
            p.fillPath(f.path, brush);
        }
        for (const auto& s : group.strokes) strokeWith(p, s.path, s.style, ps);
    }
}

void paintDrawing(QPainter& p, const Drawing& d, const PaintStyle& ps) {
    for (const auto& item : d.items()) {
        if (const auto* fill = std::get_if<DrawingFill>(&item)) {
            QBrush brush = drawingBrush(*fill, ps);
            if (brush.style() == Qt::NoBrush) continue;
            p.setRenderHint(QPainter::SmoothPixmapTransform, fill->bitmap ? fill->smooth : true);
            QPainterPath path = fill->path;
            path.setFillRule(Qt::OddEvenFill);
            p.fillPath(path, brush);
        } else {
            const auto& stroke = std::get<DrawingStroke>(item);
            if (!stroke.paint) {
                strokeWith(p, stroke.path, stroke.style, ps);
                continue;
            }
            const QBrush brush = drawingBrush(*stroke.paint, ps);
            if (brush.style() == Qt::NoBrush) continue;
            p.setRenderHint(QPainter::SmoothPixmapTransform, stroke.paint->smooth);
            strokeWith(p, stroke.path, stroke.style, ps, &brush);
        }
    }
}

}  // namespace flash::render
