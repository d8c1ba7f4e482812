// Brushes and pens for fill and line styles under a colour transform, and
// the painting of a shape's paths with them.
#pragma once

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <functional>

#include "flash/core/color_transform.h"
#include "flash/core/drawing.h"
#include "flash/core/shape_geometry.h"

namespace flash::render {

// Looks up a bitmap character; null when there is none. With clamped, the
// picture comes with a border of kClampBorder pixels repeating its edge,
// which clipped bitmap fills use so that smoothing never reaches round to
// the opposite side.
using BitmapLookup = std::function<const QImage*(swf::CharacterId, bool clamped)>;
constexpr int kClampBorder = 1;

struct PaintStyle {
    const ColorTransform* colorTransform = nullptr;
    BitmapLookup bitmaps;
    // Masks draw only their coverage: everything opaque, colours ignored.
    bool coverageOnly = false;

    // What a colour paints as under this style.
    template <class Colour>
    QColor drawn(const Colour& c) const {
        return coverageOnly ? QColor(Qt::black) : colorTransform->apply(c);
    }
};

QBrush fillBrush(const swf::FillStyle& style, const PaintStyle& ps, bool* smooth = nullptr);
QGradient makeGradient(const swf::FillStyle& style, const ColorTransform& cx);

// Paints the geometry with the painter's current transform (twips to pixels).
void paintGeometry(QPainter& p, const ShapeGeometry& g, const PaintStyle& ps);
// Paints a script's drawing, item by item in the order it was made.
void paintDrawing(QPainter& p, const Drawing& d, const PaintStyle& ps);

// A bitmap with a colour transform applied (premultiplied in and out).
QImage transformBitmap(const QImage& image, const ColorTransform& cx);

}  // namespace flash::render
