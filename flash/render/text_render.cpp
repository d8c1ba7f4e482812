#include "flash/render/text_render.h"

#include <QFontMetricsF>
#include <cmath>

#include "flash/core/geometry.h"
#include "flash/core/html_text.h"
#include "flash/core/shape_geometry.h"

namespace flash::render {
namespace {

constexpr double kGutter = 40;  // 2 pixels between a field's border and its text

struct PlacedChar {
    QChar c;
    double x = 0, advance = 0;
    int run = 0;
};

struct Line {
    std::vector<PlacedChar> chars;
    double width = 0, ascent = 0, descent = 0;
    swf::TextAlign align = swf::TextAlign::Left;
};

// One run's font: embedded glyphs when the field uses them, else a system font.
struct RunFont {
    const Character* embedded = nullptr;
    QFont device;
    double scale = 0;  // glyph units to twips (embedded)
    double ascent = 0, descent = 0, leading = 0;
};

}  // namespace

double fontEmSquare(const swf::DefineFont& font) { return font.version >= 3 ? 20480.0 : 1024.0; }

const QPainterPath& GlyphCache::glyph(const swf::DefineFont& font, std::uint32_t index) {
    static const QPainterPath empty;
    if (index >= font.glyphs.size()) return empty;
    auto& list = glyphs_[&font];
    if (list.size() != font.glyphs.size()) list.resize(font.glyphs.size());
    auto& slot = list[index];
    if (!slot) {
        swf::ShapeStyles styles;
        styles.fills.resize(1);
        slot = buildShapeGeometry(styles, font.glyphs[index].shape, false).outline();
        slot->setFillRule(Qt::WindingFill);
    }
    return *slot;
}

int GlyphCache::indexOf(const Character& c, char32_t code) {
    const auto* font = c.as<swf::DefineFont>();
    if (!font) return -1;
    auto [it, fresh] = codes_.try_emplace(font);
    if (fresh) {
        for (std::size_t i = 0; i < font->glyphs.size(); ++i) {
            std::uint16_t code16 = font->version == 1 && c.fontInfo && i < c.fontInfo->codes.size()
                                       ? c.fontInfo->codes[i] : font->glyphs[i].code;
            it->second.emplace(code16, int(i));
        }
    }
    auto found = it->second.find(code);
    return found == it->second.end() ? -1 : found->second;
}

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
        if (rec.color) color = ps.coverageOnly ? QColor(Qt::black) : ps.colorTransform->apply(*rec.color);
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

void drawEditText(QPainter& p, const EditText& field, const Library& library, GlyphCache& glyphs,
                  const DeviceFonts& deviceFonts, const PaintStyle& ps) {
    QRectF bounds = field.box;
    const QTransform base = p.worldTransform();
    // A trace of skew, as nested transforms leave, still counts as upright.
    constexpr double kSkewTolerance = 0.01;
    auto small = [&](double v, double against) { return std::abs(v) <= kSkewTolerance * std::abs(against); };
    const bool axisAligned = (small(base.m12(), base.m11()) && small(base.m21(), base.m22())) ||
                             (small(base.m11(), base.m12()) && small(base.m22(), base.m21()));
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
            p.fillPath(path, ps.coverageOnly ? QColor(Qt::black) : ps.colorTransform->apply(field.backgroundColor));
        if (field.border) {
            // Twice as wide and cut at the outline: one pixel inside it.
            p.setClipPath(path, Qt::IntersectClip);
            QPen pen(ps.coverageOnly ? QColor(Qt::black) : ps.colorTransform->apply(field.borderColor));
            pen.setCosmetic(true);
            pen.setWidthF(2.0);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
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
            p.fillRect(snapped, ps.coverageOnly ? QColor(Qt::black) : ps.colorTransform->apply(field.backgroundColor));
        if (field.border) {
            QPen pen(ps.coverageOnly ? QColor(Qt::black) : ps.colorTransform->apply(field.borderColor));
            pen.setCosmetic(true);
            pen.setWidthF(1.0);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.drawRect(snapped);
        }
        p.restore();
    }
    if (field.content.empty()) return;

    const Character* fontChar = field.definedFont();
    const auto* embeddedFont = fontChar ? fontChar->as<swf::DefineFont>() : nullptr;
    const TextStyle& fieldFormat = field.style;
    auto paragraphs = field.content.paragraphs(fieldFormat);

    std::vector<TextStyle> formats;
    std::vector<RunFont> fonts;
    auto fontFor = [&](const TextStyle& f) -> int {
        for (std::size_t i = 0; i < formats.size(); ++i)
            if (formats[i].face == f.face && formats[i].size == f.size && formats[i].bold == f.bold &&
                formats[i].italic == f.italic && formats[i].color == f.color && formats[i].underline == f.underline)
                return int(i);
        RunFont rf;
        const Character* emb = nullptr;
        if (field.embedFonts) {
            emb = (embeddedFont && QString::fromStdString(fontChar->fontInfo ? fontChar->fontInfo->name : embeddedFont->name)
                                           .compare(f.face, Qt::CaseInsensitive) == 0)
                      ? fontChar
                      : library.fontByName(f.face.toStdString(), f.bold, f.italic);
            if (!emb && embeddedFont && !embeddedFont->glyphs.empty()) emb = fontChar;
        }
        double twips = f.size * 20.0;
        if (emb) {
            const auto* font = emb->as<swf::DefineFont>();
            rf.embedded = emb;
            rf.scale = twips / fontEmSquare(*font);
            if (font->layout) {
                rf.ascent = font->layout->ascent * rf.scale;
                rf.descent = font->layout->descent * rf.scale;
                rf.leading = font->layout->leading * rf.scale;
            } else {
                rf.ascent = twips * 0.9;
                rf.descent = twips * 0.2;
            }
        } else {
            rf.device = deviceFont(f, deviceFonts);
            QFontMetricsF m(rf.device);
            rf.ascent = m.ascent();
            rf.descent = m.descent();
        }
        formats.push_back(f);
        fonts.push_back(rf);
        return int(formats.size() - 1);
    };
    auto advanceOf = [&](int run, QChar c) -> double {
        const RunFont& rf = fonts[std::size_t(run)];
        if (rf.embedded) {
            const auto* font = rf.embedded->as<swf::DefineFont>();
            int index = glyphs.indexOf(*rf.embedded, c.unicode());
            if (index < 0) return c == ' ' ? formats[std::size_t(run)].size * 20.0 * 0.25 : 0;
            if (font->layout) return font->glyphs[std::size_t(index)].advance * rf.scale;
            return glyphs.glyph(*font, std::uint32_t(index)).boundingRect().width() * rf.scale + 20;
        }
        return QFontMetricsF(rf.device).horizontalAdvance(c);
    };

    const double leftMargin = fieldFormat.leftMargin * 20.0;
    const double rightMargin = fieldFormat.rightMargin * 20.0;
    const double indent = fieldFormat.indent * 20.0;
    const double leading = fieldFormat.leading * 20.0;
    const double maxWidth = bounds.width() - 2 * kGutter - leftMargin - rightMargin;

    std::vector<Line> lines;
    for (const auto& para : paragraphs) {
        Line line;
        line.align = para.align;
        double x = indent;
        int lastSpace = -1;
        auto finish = [&](Line& l) {
            for (const auto& pc : l.chars) {
                const RunFont& rf = fonts[std::size_t(pc.run)];
                l.ascent = std::max(l.ascent, rf.ascent);
                l.descent = std::max(l.descent, rf.descent + rf.leading);
            }
            if (l.chars.empty()) {
                const RunFont& rf = fonts[std::size_t(fontFor(para.runs.empty() ? fieldFormat : para.runs.front().format))];
                l.ascent = rf.ascent;
                l.descent = rf.descent + rf.leading;
            }
            l.width = l.chars.empty() ? 0 : l.chars.back().x + l.chars.back().advance;
            lines.push_back(l);
        };
        for (const auto& run : para.runs) {
            int ri = fontFor(run.format);
            for (QChar c : run.text) {
                double adv = advanceOf(ri, c);
                if (field.wordWrap && x + adv > maxWidth && !line.chars.empty() && c != ' ') {
                    Line next;
                    next.align = para.align;
                    if (lastSpace >= 0) {
                        next.chars.assign(line.chars.begin() + lastSpace + 1, line.chars.end());
                        line.chars.resize(std::size_t(lastSpace));
                    }
                    finish(line);
                    double shift = next.chars.empty() ? 0 : next.chars.front().x;
                    for (auto& pc : next.chars) pc.x -= shift;
                    x = next.chars.empty() ? 0 : next.chars.back().x + next.chars.back().advance;
                    line = std::move(next);
                    lastSpace = -1;
                }
                if (c == ' ') lastSpace = int(line.chars.size());
                line.chars.push_back({c, x, adv, ri});
                x += adv;
            }
        }
        finish(line);
        if (!field.multiline) break;
    }

    p.save();
    p.setClipRect(bounds, Qt::IntersectClip);
    double y = bounds.top() + kGutter;
    for (const auto& line : lines) {
        double baseline = y + line.ascent;
        double left = bounds.left() + kGutter + leftMargin;
        double free = maxWidth - line.width;
        if (line.align == swf::TextAlign::Center) left += free / 2;
        if (line.align == swf::TextAlign::Right) left += free;
        for (const auto& pc : line.chars) {
            if (pc.c.isSpace()) continue;
            const RunFont& rf = fonts[std::size_t(pc.run)];
            QColor color = ps.coverageOnly ? QColor(Qt::black) : ps.colorTransform->apply(formats[std::size_t(pc.run)].color);
            if (rf.embedded) {
                int index = glyphs.indexOf(*rf.embedded, pc.c.unicode());
                if (index < 0) continue;
                const QPainterPath& path = glyphs.glyph(*rf.embedded->as<swf::DefineFont>(), std::uint32_t(index));
                p.setTransform(QTransform(rf.scale, 0, 0, rf.scale, left + pc.x, baseline) * base);
                p.fillPath(path, color);
            } else {
                QPainterPath path;
                path.addText(QPointF(left + pc.x, baseline), rf.device, QString(pc.c));
                p.setTransform(base);
                p.fillPath(path, color);
            }
        }
        y += line.ascent + line.descent + leading;
    }
    p.restore();
}

}  // namespace flash::render
