#include "tools/makesample/glyphs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <cmath>

#include "flash/swf/shape_builder.h"

namespace makesample {
namespace {

constexpr int kEm = 1024;

swf::Twips r(double v) { return swf::Twips(std::lround(v)); }

// Cubic segments become two quadratic ones, split at the middle.
void addCubic(swf::ShapeBuilder& b, QPointF p0, QPointF c1, QPointF c2, QPointF p3) {
    auto mid = [](QPointF a, QPointF c) { return (a + c) / 2; };
    QPointF a = mid(p0, c1), bb = mid(c1, c2), c = mid(c2, p3);
    QPointF d = mid(a, bb), e = mid(bb, c), m = mid(d, e);
    auto quad = [&](QPointF s, QPointF k1, QPointF k2, QPointF t) {
        QPointF q = (3 * (k1 + k2) - s - t) / 4;
        b.curveTo(r(q.x()), r(q.y()), r(t.x()), r(t.y()));
    };
    quad(p0, a, d, m);
    quad(m, e, c, p3);
}

std::vector<swf::ShapeRecord> glyphShape(const QPainterPath& path) {
    swf::ShapeBuilder b;
    b.fill1(1);
    QPointF current;
    for (int i = 0; i < path.elementCount(); ++i) {
        QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            b.moveTo(r(e.x), r(e.y));
            current = e;
        } else if (e.isLineTo()) {
            b.lineTo(r(e.x), r(e.y));
            current = e;
        } else if (e.isCurveTo()) {
            QPointF c1 = e, c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            addCubic(b, current, c1, c2, end);
            current = end;
            i += 2;
        }
    }
    return b.records();
}

}  // namespace

swf::DefineFont makeFont(swf::CharacterId id, const QString& family, const QString& text) {
    QFont qfont(family);
    qfont.setPixelSize(kEm);
    QFontMetricsF metrics(qfont);
    swf::DefineFont font;
    font.version = 2;
    font.id = id;
    font.name = family.toStdString();
    font.flags.wideCodes = true;
    swf::FontLayout layout;
    layout.ascent = std::uint16_t(std::lround(metrics.ascent()));
    layout.descent = std::uint16_t(std::lround(metrics.descent()));
    layout.leading = std::int16_t(std::lround(metrics.leading()));
    QString seen;
    for (QChar c : text) {
        if (seen.contains(c)) continue;
        seen += c;
        QPainterPath path;
        path.addText(0, 0, qfont, QString(c));
        swf::Glyph g;
        g.shape = glyphShape(path);
        g.code = c.unicode();
        g.advance = std::int16_t(std::lround(metrics.horizontalAdvance(c)));
        QRectF box = path.boundingRect();
        g.bounds = {r(box.left()), r(box.right()), r(box.top()), r(box.bottom())};
        font.glyphs.push_back(std::move(g));
    }
    font.layout = layout;
    return font;
}

swf::DefineText makeText(swf::CharacterId id, const swf::DefineFont& font, const QString& text, int height,
                         swf::Color color, swf::Twips x, swf::Twips y) {
    swf::DefineText t;
    t.version = 2;
    t.id = id;
    swf::TextRecord rec;
    rec.fontId = font.id;
    rec.color = color;
    rec.xOffset = x;
    rec.yOffset = y;
    rec.height = std::uint16_t(height);
    double scale = double(height) / kEm;
    swf::Twips width = 0;
    for (QChar c : text) {
        for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
            if (font.glyphs[i].code != c.unicode()) continue;
            swf::Twips advance = r(font.glyphs[i].advance * scale);
            rec.glyphs.push_back({std::uint32_t(i), advance});
            width += advance;
            break;
        }
    }
    t.records.push_back(std::move(rec));
    t.bounds = {x, x + width, y - height, y + height / 4};
    return t;
}

}  // namespace makesample
