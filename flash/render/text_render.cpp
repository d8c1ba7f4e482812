#include "flash/render/text_render.h"

#include <algorithm>
#include <cmath>

#include "flash/core/geometry.h"
#include "flash/core/shape_geometry.h"

namespace flash::render {
namespace {

// A round bullet in the gap before a bulleted paragraph's first line, in
// the colour and size of the text it opens.
void drawBullet(QPainter& p, const QTransform& base, const LayoutFont& font, const PaintStyle& ps, QPointF lineStart) {
    const double em = font.style.size * 20;
    const double radius = em * 0.15;
    const QPointF centre(lineStart.x() - em, lineStart.y() - em * 0.3);
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    p.setTransform(base);
    p.fillPath(disc, ps.drawn(font.style.color));
}

}  // namespace

void drawStaticText(QPainter& p, const swf::DefineText& text, const Library& library, GlyphCache& glyphs,
                    const PaintStyle& ps) {
    p.save();
    QTransform base = toQTransform(text.matrix) * p.worldTransform();
    const swf::DefineFont* font = nullptr;
    double height = 0, x = 0, y = 0;
    QColor color(Qt::black);
    for (const auto& rec : text.records) {
        if (rec.fontId) {
            const Character* c = library.get(*rec.fontId);
            font = c ? c->as<swf::DefineFont>() : nullptr;
            height = rec.height;
        }
        if (rec.color) color = ps.drawn(*rec.color);
        if (rec.xOffset) x = *rec.xOffset;
        if (rec.yOffset) y = *rec.yOffset;
        double scale = font ? height / fontEmSquare(*font) : 0;
        for (const auto& g : rec.glyphs) {
            if (font) {
                const QPainterPath& path = glyphs.glyph(*font, g.index);
                if (!path.isEmpty()) {
                    p.setTransform(QTransform(scale, 0, 0, scale, x, y) * base);
                    p.fillPath(path, color);
                }
            }
            x += g.advance;
        }
    }
    p.restore();
}

void drawEditText(QPainter& p, const EditText& field, GlyphCache& glyphs, const DeviceFonts& deviceFonts,
                  const PaintStyle& ps) {
    QRectF bounds = field.box;
    const QTransform base = p.worldTransform();
    // A trace of skew, as nested transforms leave, still counts as upright.
    constexpr double kSkewTolerance = 0.01;
    auto small = [&](double v, double against) { return std::abs(v) <= kSkewTolerance * std::abs(against); };
    const bool axisAligned = (small(base.m12(), base.m11()) && small(base.m21(), base.m22())) ||
                             (small(base.m11(), base.m12()) && small(base.m22(), base.m21()));
    auto useBorderPen = [&](double width) {
        QPen pen(ps.drawn(field.borderColor));
        pen.setCosmetic(true);
        pen.setWidthF(width);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
    };
    if ((field.border || field.background) && !axisAligned) {
        // Turned or skewed, the box goes with the field; the border stays
        // one pixel wide.
        // As upright boxes do, the border covers a pixel beyond the right
        // and bottom edges.
        const double pixel = 1.0 / std::sqrt(std::abs(base.determinant()));
        const QPolygonF outline = base.map(QPolygonF(bounds.adjusted(0, 0, pixel, pixel)));
        QPainterPath path;
        path.addPolygon(outline);
        path.closeSubpath();
        p.save();
        p.resetTransform();
        if (field.background)
            p.fillPath(path, ps.drawn(field.backgroundColor));
        if (field.border) {
            // Twice as wide and cut at the outline: one pixel inside it.
            p.setClipPath(path, Qt::IntersectClip);
            useBorderPen(2.0);
            p.drawPolygon(outline);
        }
        p.restore();
    } else if (field.border || field.background) {
        // The border sits on whole pixels, one pixel wide, inside the field.
        QRectF device = base.mapRect(bounds);
        QRectF snapped(QPointF(std::round(device.left()), std::round(device.top())),
                       QPointF(std::round(device.right()), std::round(device.bottom())));
        p.save();
        p.resetTransform();
        if (field.background)
            p.fillRect(snapped, ps.drawn(field.backgroundColor));
        if (field.border) {
            useBorderPen(1.0);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.drawRect(snapped);
        }
        p.restore();
    }
    const TextLayout layout = layoutText(field, deviceFonts, glyphs);
    if (layout.lines.empty()) return;

    // Scrolled lines and pixels leave the box; what is left starts at its top.
    const QRectF area = bounds.adjusted(kTextGutter, kTextGutter, -kTextGutter, -kTextGutter);
    const int first = std::clamp(field.scroll, 1, layout.maxScroll(area.height())) - 1;
    const double hscroll =
        field.wordWrap ? 0
                       : std::clamp(double(field.hscroll) * 20.0, 0.0, std::max(0.0, layout.textWidth - area.width()));
    const double top = area.top() - layout.lines[std::size_t(first)].top;

    p.save();
    p.setClipRect(bounds, Qt::IntersectClip);
    for (std::size_t li = std::size_t(first); li < layout.lines.size(); ++li) {
        const LayoutLine& line = layout.lines[li];
        if (top + line.top > bounds.bottom()) break;
        const double baseline = top + line.top + line.ascent;
        const double left = area.left() + line.left - hscroll;
        if (line.bullet && !line.glyphs.empty()) drawBullet(p, base, layout.fonts[std::size_t(line.glyphs.front().font)],
                                                            ps, QPointF(left, baseline));
        for (const auto& g : line.glyphs) {
            if (g.c.isSpace()) continue;
            const LayoutFont& font = layout.fonts[std::size_t(g.font)];
            QColor color = ps.drawn(font.style.color);
            if (font.embedded) {
                int index = glyphs.indexOf(*font.embedded, g.c.unicode());
                if (index < 0) continue;
                const QPainterPath& path = glyphs.glyph(*font.embedded->as<swf::DefineFont>(), std::uint32_t(index));
                p.setTransform(QTransform(font.scale, 0, 0, font.scale, left + g.x, baseline) * base);
                p.fillPath(path, color);
            } else {
                QPainterPath path;
                path.addText(QPointF(left + g.x, baseline), font.device, QString(g.c));
                p.setTransform(base);
                p.fillPath(path, color);
            }
        }
    }
    p.restore();
}

}  // namespace flash::render
