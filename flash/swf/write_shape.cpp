#include <algorithm>

#include "flash/swf/error.h"
#include "flash/swf/write_internal.h"

namespace swf::detail {
namespace {

void writeColor(ByteWriter& w, const Color& c, int shapeVersion) {
    if (shapeVersion >= 3)
        w.rgba(c);
    else
        w.rgb(c);
}

void writeStyleCount(ByteWriter& w, std::size_t n, bool extended) {
    if (n >= 0xff) {
        if (!extended || n > 0xffff) throw Error("too many styles for this shape version");
        w.u8(0xff);
        w.u16(std::uint16_t(n));
    } else {
        w.u8(std::uint8_t(n));
    }
}

void writeGradientFlags(ByteWriter& w, const Gradient& g) {
    if (g.records.size() > 15) throw Error("a gradient holds at most 15 colours");
    w.ubits(2, std::uint32_t(g.spread));
    w.ubits(2, std::uint32_t(g.interpolation));
    w.ubits(4, std::uint32_t(g.records.size()));
}

void writeGradient(ByteWriter& w, const Gradient& g, int shapeVersion) {
    w.matrix(g.matrix);
    writeGradientFlags(w, g);
    for (const auto& rec : g.records) {
        w.u8(rec.ratio);
        writeColor(w, rec.color, shapeVersion);
    }
}

void writeFillStyle(ByteWriter& w, const FillStyle& f, int shapeVersion) {
    w.u8(std::uint8_t(f.type));
    if (f.type == FillType::Solid) {
        writeColor(w, f.color, shapeVersion);
    } else if (isGradient(f.type)) {
        writeGradient(w, f.gradient, shapeVersion);
        if (f.type == FillType::FocalGradient) w.i16(f.focalPoint);
    } else {
        w.u16(f.bitmapId);
        w.matrix(f.bitmapMatrix);
    }
}

void writeLineFlags(ByteWriter& w, const LineStyle& s, bool hasFill) {
    w.ubits(2, std::uint32_t(s.startCap));
    w.ubits(2, std::uint32_t(s.join));
    w.bit(hasFill);
    w.bit(s.noHScale);
    w.bit(s.noVScale);
    w.bit(s.pixelHinting);
    w.ubits(5, 0);
    w.bit(s.noClose);
    w.ubits(2, std::uint32_t(s.endCap));
    if (s.join == LineJoin::Miter) w.i16(s.miterLimit);
}

void writeLineStyle(ByteWriter& w, const LineStyle& s, int shapeVersion) {
    w.u16(s.width);
    if (shapeVersion < 4) {
        writeColor(w, s.color, shapeVersion);
        return;
    }
    writeLineFlags(w, s, s.fill.has_value());
    if (s.fill)
        writeFillStyle(w, *s.fill, shapeVersion);
    else
        w.rgba(s.color);
}

void writeEdgeBits(ByteWriter& w, std::initializer_list<std::int32_t> deltas, unsigned& n) {
    n = 2;
    for (auto d : deltas) n = std::max(n, signedBits(d));
    if (n > 17) throw Error("a shape edge is longer than the format allows");
    w.ubits(4, n - 2);
}

}  // namespace

StyleBits styleBitsFor(const ShapeStyles& s) {
    return {unsignedBits(std::uint32_t(s.fills.size())), unsignedBits(std::uint32_t(s.lines.size()))};
}

void writeShapeStyles(ByteWriter& w, const ShapeStyles& s, int shapeVersion) {
    writeStyleCount(w, s.fills.size(), shapeVersion >= 2);
    for (const auto& f : s.fills) writeFillStyle(w, f, shapeVersion);
    writeStyleCount(w, s.lines.size(), true);
    for (const auto& l : s.lines) writeLineStyle(w, l, shapeVersion);
}

void writeShapeRecords(ByteWriter& w, const std::vector<ShapeRecord>& records, StyleBits bits, int shapeVersion) {
    w.flushBits();
    if (bits.fill > 15 || bits.line > 15) throw Error("too many styles for a shape");
    w.ubits(4, bits.fill);
    w.ubits(4, bits.line);
    for (const auto& rec : records) {
        if (const auto* c = std::get_if<StyleChange>(&rec)) {
            w.bit(false);
            w.bit(c->newStyles.has_value());
            w.bit(c->line.has_value());
            w.bit(c->fill1.has_value());
            w.bit(c->fill0.has_value());
            w.bit(c->moveTo.has_value());
            if (c->moveTo) {
                unsigned n = std::max(signedBits(c->moveTo->first), signedBits(c->moveTo->second));
                w.ubits(5, n);
                w.sbits(n, c->moveTo->first);
                w.sbits(n, c->moveTo->second);
            }
            if (c->fill0) w.ubits(bits.fill, *c->fill0);
            if (c->fill1) w.ubits(bits.fill, *c->fill1);
            if (c->line) w.ubits(bits.line, *c->line);
            if (c->newStyles) {
                w.flushBits();
                writeShapeStyles(w, *c->newStyles, shapeVersion);
                bits = styleBitsFor(*c->newStyles);
                w.ubits(4, bits.fill);
                w.ubits(4, bits.line);
            }
        } else if (const auto* e = std::get_if<StraightEdge>(&rec)) {
            w.bit(true);
            w.bit(true);
            unsigned n;
            writeEdgeBits(w, {e->dx, e->dy}, n);
            if (e->dx != 0 && e->dy != 0) {
                w.bit(true);
                w.sbits(n, e->dx);
                w.sbits(n, e->dy);
            } else {
                w.bit(false);
                w.bit(e->dx == 0);
                w.sbits(n, e->dx == 0 ? e->dy : e->dx);
            }
        } else {
            const auto& curve = std::get<CurvedEdge>(rec);
            w.bit(true);
            w.bit(false);
            unsigned n;
            writeEdgeBits(w, {curve.controlDx, curve.controlDy, curve.anchorDx, curve.anchorDy}, n);
            w.sbits(n, curve.controlDx);
            w.sbits(n, curve.controlDy);
            w.sbits(n, curve.anchorDx);
            w.sbits(n, curve.anchorDy);
        }
    }
    w.ubits(6, 0);
    w.flushBits();
}

void writeDefineShape(ByteWriter& w, const DefineShape& s) {
    w.u16(s.id);
    w.rect(s.bounds);
    if (s.version >= 4) {
        w.rect(s.edgeBounds);
        w.ubits(5, 0);
        w.bit(s.usesFillWindingRule);
        w.bit(s.usesNonScalingStrokes);
        w.bit(s.usesScalingStrokes);
    }
    writeShapeStyles(w, s.styles, s.version);
    writeShapeRecords(w, s.records, styleBitsFor(s.styles), s.version);
}

namespace {

void writeMorphFill(ByteWriter& w, const FillStyle& a, const FillStyle& b) {
    w.u8(std::uint8_t(a.type));
    if (a.type == FillType::Solid) {
        w.rgba(a.color);
        w.rgba(b.color);
    } else if (isGradient(a.type)) {
        if (a.gradient.records.size() != b.gradient.records.size())
            throw Error("morph gradients need the same number of colours at both ends");
        w.matrix(a.gradient.matrix);
        w.matrix(b.gradient.matrix);
        writeGradientFlags(w, a.gradient);
        for (std::size_t i = 0; i < a.gradient.records.size(); ++i) {
            w.u8(a.gradient.records[i].ratio);
            w.rgba(a.gradient.records[i].color);
            w.u8(b.gradient.records[i].ratio);
            w.rgba(b.gradient.records[i].color);
        }
        if (a.type == FillType::FocalGradient) {
            w.i16(a.focalPoint);
            w.i16(b.focalPoint);
        }
    } else {
        w.u16(a.bitmapId);
        w.matrix(a.bitmapMatrix);
        w.matrix(b.bitmapMatrix);
    }
}

}  // namespace

void writeDefineMorphShape(ByteWriter& w, const DefineMorphShape& m) {
    const auto& s = m.start.styles;
    const auto& e = m.end.styles;
    if (s.fills.size() != e.fills.size() || s.lines.size() != e.lines.size())
        throw Error("a morph shape needs the same styles at both ends");
    w.u16(m.id);
    w.rect(m.start.bounds);
    w.rect(m.end.bounds);
    if (m.version >= 2) {
        w.rect(m.start.edgeBounds);
        w.rect(m.end.edgeBounds);
        w.ubits(6, 0);
        w.bit(m.usesNonScalingStrokes);
        w.bit(m.usesScalingStrokes);
    }
    std::size_t offsetAt = w.size();
    w.u32(0);
    writeStyleCount(w, s.fills.size(), true);
    for (std::size_t i = 0; i < s.fills.size(); ++i) writeMorphFill(w, s.fills[i], e.fills[i]);
    writeStyleCount(w, s.lines.size(), true);
    for (std::size_t i = 0; i < s.lines.size(); ++i) {
        w.u16(s.lines[i].width);
        w.u16(e.lines[i].width);
        if (m.version >= 2) {
            writeLineFlags(w, s.lines[i], s.lines[i].fill.has_value());
            if (s.lines[i].fill) {
                writeMorphFill(w, *s.lines[i].fill, e.lines[i].fill.value_or(*s.lines[i].fill));
                continue;
            }
        }
        w.rgba(s.lines[i].color);
        w.rgba(e.lines[i].color);
    }
    writeShapeRecords(w, m.start.records, styleBitsFor(s), 3);
    w.patchU32(offsetAt, std::uint32_t(w.size() - offsetAt - 4));
    writeShapeRecords(w, m.end.records, {}, 3);
}

}  // namespace swf::detail
