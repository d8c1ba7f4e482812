#include "flash/swf/read_internal.h"

namespace swf::detail {
namespace {

Color readColor(ByteReader& r, int shapeVersion) { return shapeVersion >= 3 ? r.rgba() : r.rgb(); }

std::uint32_t readStyleCount(ByteReader& r, bool extended) {
    std::uint32_t n = r.u8();
    if (n == 0xff && extended) n = r.u16();
    return n;
}

// The caps, join and scaling flags of a LineStyle2 (shapes and morph
// shapes alike); returns whether a fill style stands for the colour.
bool readLineStyle2Flags(ByteReader& r, LineStyle& s) {
    s.startCap = LineCap(r.ubits(2));
    s.join = LineJoin(r.ubits(2));
    bool hasFill = r.bit();
    s.noHScale = r.bit();
    s.noVScale = r.bit();
    s.pixelHinting = r.bit();
    r.ubits(5);
    s.noClose = r.bit();
    s.endCap = LineCap(r.ubits(2));
    if (s.join == LineJoin::Miter) s.miterLimit = r.i16();
    return hasFill;
}

LineStyle readLineStyle(ByteReader& r, int shapeVersion) {
    LineStyle s;
    s.width = r.u16();
    if (shapeVersion < 4) {
        s.color = readColor(r, shapeVersion);
        return s;
    }
    if (readLineStyle2Flags(r, s))
        s.fill = readFillStyle(r, shapeVersion);
    else
        s.color = r.rgba();
    return s;
}

void checkStyleBits(const ByteReader& r, unsigned bits) {
    if (bits > 16) r.fail("style index wider than 16 bits");
}

}  // namespace

Gradient readGradient(ByteReader& r, int shapeVersion) {
    Gradient g;
    g.matrix = r.matrix();
    g.spread = SpreadMode(r.ubits(2));
    g.interpolation = InterpolationMode(r.ubits(2));
    unsigned n = r.ubits(4);
    g.records.resize(n);
    for (auto& rec : g.records) {
        rec.ratio = r.u8();
        rec.color = readColor(r, shapeVersion);
    }
    return g;
}

FillStyle readFillStyle(ByteReader& r, int shapeVersion) {
    FillStyle f;
    std::uint8_t type = r.u8();
    f.type = FillType(type);
    switch (type) {
    case 0x00: f.color = readColor(r, shapeVersion); break;
    case 0x10:
    case 0x12: f.gradient = readGradient(r, shapeVersion); break;
    case 0x13:
        f.gradient = readGradient(r, shapeVersion);
        f.focalPoint = r.i16();
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f.bitmapId = r.u16();
        f.bitmapMatrix = r.matrix();
        break;
    default: r.fail("unknown fill style type " + std::to_string(type));
    }
    return f;
}

ShapeStyles readShapeStyles(ByteReader& r, int shapeVersion) {
    ShapeStyles s;
    std::uint32_t fills = readStyleCount(r, shapeVersion >= 2);
    s.fills.reserve(std::min<std::size_t>(fills, r.remaining()));
    for (std::uint32_t i = 0; i < fills; ++i) s.fills.push_back(readFillStyle(r, shapeVersion));
    std::uint32_t lines = readStyleCount(r, true);
    s.lines.reserve(std::min<std::size_t>(lines, r.remaining()));
    for (std::uint32_t i = 0; i < lines; ++i) s.lines.push_back(readLineStyle(r, shapeVersion));
    return s;
}

std::vector<ShapeRecord> readShapeRecords(ByteReader& r, int shapeVersion) {
    r.align();
    unsigned fillBits = r.ubits(4);
    unsigned lineBits = r.ubits(4);
    std::vector<ShapeRecord> records;
    while (true) {
        r.charge(sizeof(ShapeRecord));
        if (r.bit()) {
            bool straight = r.bit();
            unsigned n = r.ubits(4) + 2;
            if (straight) {
                StraightEdge e;
                if (r.bit()) {
                    e.dx = r.sbits(n);
                    e.dy = r.sbits(n);
                } else if (r.bit()) {
                    e.dy = r.sbits(n);
                } else {
                    e.dx = r.sbits(n);
                }
                records.push_back(e);
            } else {
                CurvedEdge e;
                e.controlDx = r.sbits(n);
                e.controlDy = r.sbits(n);
                e.anchorDx = r.sbits(n);
                e.anchorDy = r.sbits(n);
                records.push_back(e);
            }
            continue;
        }
        unsigned flags = r.ubits(5);
        if (flags == 0) break;
        StyleChange c;
        if (flags & 1) {
            unsigned n = r.ubits(5);
            Twips x = r.sbits(n);
            Twips y = r.sbits(n);
            c.moveTo = std::pair{x, y};
        }
        checkStyleBits(r, fillBits);
        checkStyleBits(r, lineBits);
        if (flags & 2) c.fill0 = r.ubits(fillBits);
        if (flags & 4) c.fill1 = r.ubits(fillBits);
        if (flags & 8) c.line = r.ubits(lineBits);
        if (flags & 16) {
            c.newStyles = readShapeStyles(r, shapeVersion);
            r.align();
            fillBits = r.ubits(4);
            lineBits = r.ubits(4);
        }
        records.emplace_back(std::in_place_type<StyleChange>, std::move(c));
    }
    r.align();
    return records;
}

DefineShape readDefineShape(ByteReader& r, int version) {
    DefineShape s;
    s.version = std::uint8_t(version);
    s.id = r.u16();
    s.bounds = r.rect();
    if (version >= 4) {
        s.edgeBounds = r.rect();
        r.ubits(5);
        s.usesFillWindingRule = r.bit();
        s.usesNonScalingStrokes = r.bit();
        s.usesScalingStrokes = r.bit();
    } else {
        s.edgeBounds = s.bounds;
    }
    s.styles = readShapeStyles(r, version);
    s.records = readShapeRecords(r, version);
    return s;
}

// ---- morph shapes: each style is read as a pair and split into both ends ----

namespace {

void readMorphGradient(ByteReader& r, Gradient& start, Gradient& end) {
    start.matrix = r.matrix();
    end.matrix = r.matrix();
    start.spread = end.spread = SpreadMode(r.ubits(2));
    start.interpolation = end.interpolation = InterpolationMode(r.ubits(2));
    unsigned n = r.ubits(4);
    start.records.resize(n);
    end.records.resize(n);
    for (unsigned i = 0; i < n; ++i) {
        start.records[i].ratio = r.u8();
        start.records[i].color = r.rgba();
        end.records[i].ratio = r.u8();
        end.records[i].color = r.rgba();
    }
}

void readMorphFill(ByteReader& r, FillStyle& start, FillStyle& end) {
    std::uint8_t type = r.u8();
    start.type = end.type = FillType(type);
    switch (type) {
    case 0x00:
        start.color = r.rgba();
        end.color = r.rgba();
        break;
    case 0x10:
    case 0x12: readMorphGradient(r, start.gradient, end.gradient); break;
    case 0x13:
        readMorphGradient(r, start.gradient, end.gradient);
        start.focalPoint = r.i16();
        end.focalPoint = r.i16();
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        start.bitmapId = end.bitmapId = r.u16();
        start.bitmapMatrix = r.matrix();
        end.bitmapMatrix = r.matrix();
        break;
    default: r.fail("unknown morph fill style type " + std::to_string(type));
    }
}

void readMorphLine(ByteReader& r, int version, LineStyle& start, LineStyle& end) {
    start.width = r.u16();
    end.width = r.u16();
    if (version < 2) {
        start.color = r.rgba();
        end.color = r.rgba();
        return;
    }
    bool hasFill = readLineStyle2Flags(r, start);
    LineStyle flags = start;  // both ends share every flag
    if (hasFill) {
        FillStyle a, b;
        readMorphFill(r, a, b);
        start.fill = a;
        flags.fill = b;
    } else {
        start.color = r.rgba();
        flags.color = r.rgba();
    }
    flags.width = end.width;
    end = flags;
}

}  // namespace

DefineMorphShape readDefineMorphShape(ByteReader& r, int version) {
    DefineMorphShape m;
    m.version = std::uint8_t(version);
    m.id = r.u16();
    m.start.bounds = r.rect();
    m.end.bounds = r.rect();
    if (version >= 2) {
        m.start.edgeBounds = r.rect();
        m.end.edgeBounds = r.rect();
        r.ubits(6);
        m.usesNonScalingStrokes = r.bit();
        m.usesScalingStrokes = r.bit();
    } else {
        m.start.edgeBounds = m.start.bounds;
        m.end.edgeBounds = m.end.bounds;
    }
    std::uint32_t offset = r.u32();
    std::size_t endEdgesAt = r.position() + offset;
    std::uint32_t fills = readStyleCount(r, true);
    for (std::uint32_t i = 0; i < fills; ++i) {
        FillStyle a, b;
        readMorphFill(r, a, b);
        m.start.styles.fills.push_back(std::move(a));
        m.end.styles.fills.push_back(std::move(b));
    }
    std::uint32_t lines = readStyleCount(r, true);
    for (std::uint32_t i = 0; i < lines; ++i) {
        LineStyle a, b;
        readMorphLine(r, version, a, b);
        m.start.styles.lines.push_back(std::move(a));
        m.end.styles.lines.push_back(std::move(b));
    }
    m.start.records = readShapeRecords(r, 3);
    // The end edges start at the recorded offset; some writers leave padding.
    if (offset != 0 && endEdgesAt >= r.position() && endEdgesAt <= r.whole().size())
        r.skip(endEdgesAt - r.position());
    m.end.records = readShapeRecords(r, 3);
    return m;
}

}  // namespace swf::detail
