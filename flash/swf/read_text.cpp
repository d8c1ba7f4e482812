#include "flash/swf/read_internal.h"

namespace swf::detail {
namespace {

std::vector<ShapeRecord> readGlyphShape(ByteReader& parent, Bytes range) {
    ByteReader r(range);
    r.setBudget(parent.budget());
    return readShapeRecords(r, 1);
}

std::string readLengthPrefixedName(ByteReader& r) {
    std::size_t len = r.u8();
    Bytes b = r.bytes(len);
    std::string name(b.begin(), b.end());
    while (!name.empty() && name.back() == '\0') name.pop_back();
    return name;
}

}  // namespace

DefineFont readDefineFont1(ByteReader& r) {
    DefineFont f;
    f.version = 1;
    f.id = r.u16();
    if (r.atEnd()) return f;
    Bytes table = r.rest();
    ByteReader offsets(table);
    std::size_t first = offsets.u16();
    std::size_t count = first / 2;
    std::vector<std::size_t> starts{first};
    for (std::size_t i = 1; i < count; ++i) starts.push_back(offsets.u16());
    starts.push_back(table.size());
    f.glyphs.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t begin = starts[i], end = std::max(starts[i], std::min(starts[i + 1], table.size()));
        if (begin > table.size()) r.fail("font glyph offset beyond the tag");
        f.glyphs[i].shape = readGlyphShape(r, table.subspan(begin, end - begin));
    }
    return f;
}

DefineFont readDefineFont23(ByteReader& r, int version) {
    DefineFont f;
    f.version = std::uint8_t(version);
    f.id = r.u16();
    std::uint8_t flags = r.u8();
    bool hasLayout = flags & 0x80;
    f.flags.shiftJis = flags & 0x40;
    f.flags.smallText = flags & 0x20;
    f.flags.ansi = flags & 0x10;
    f.flags.wideOffsets = flags & 0x08;
    f.flags.wideCodes = flags & 0x04;
    f.flags.italic = flags & 0x02;
    f.flags.bold = flags & 0x01;
    f.language = r.u8();
    f.name = readLengthPrefixedName(r);
    std::size_t count = r.u16();
    if (count > r.remaining()) r.fail("font declares more glyphs than the tag holds");
    Bytes table = r.whole().subspan(r.position());
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < count; ++i) starts.push_back(f.flags.wideOffsets ? r.u32() : r.u16());
    std::size_t codeTable = count == 0 && r.atEnd() ? 0 : (f.flags.wideOffsets ? r.u32() : r.u16());
    if (count > 0 && codeTable > table.size()) r.fail("font code table offset beyond the tag");
    f.glyphs.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t begin = starts[i];
        std::size_t end = i + 1 < count ? starts[i + 1] : codeTable;
        if (begin > table.size() || end > table.size() || end < begin) r.fail("font glyph offsets are out of order");
        f.glyphs[i].shape = readGlyphShape(r, table.subspan(begin, end - begin));
    }
    if (count > 0) {
        std::size_t codeTableAt = std::size_t(table.data() - r.whole().data()) + codeTable;
        if (codeTableAt < r.position()) r.fail("font code table overlaps its offset table");
        r.skip(codeTableAt - r.position());
    }
    for (auto& g : f.glyphs) g.code = f.flags.wideCodes ? r.u16() : r.u8();
    if (hasLayout) {
        FontLayout layout;
        layout.ascent = r.u16();
        layout.descent = r.u16();
        layout.leading = r.i16();
        for (auto& g : f.glyphs) g.advance = r.i16();
        for (auto& g : f.glyphs) g.bounds = r.rect();
        // Many writers leave the kerning table out entirely.
        std::size_t kerning = r.remaining() >= 2 ? r.u16() : 0;
        for (std::size_t i = 0; i < kerning && !r.atEnd(); ++i) {
            KerningRecord k;
            k.left = f.flags.wideCodes ? r.u16() : r.u8();
            k.right = f.flags.wideCodes ? r.u16() : r.u8();
            k.adjustment = r.i16();
            layout.kerning.push_back(k);
        }
        f.layout = std::move(layout);
    }
    return f;
}

DefineFontInfo readDefineFontInfo(ByteReader& r, int version) {
    DefineFontInfo info;
    info.version = std::uint8_t(version);
    info.fontId = r.u16();
    info.name = readLengthPrefixedName(r);
    std::uint8_t flags = r.u8();
    info.flags.smallText = flags & 0x20;
    info.flags.shiftJis = flags & 0x10;
    info.flags.ansi = flags & 0x08;
    info.flags.italic = flags & 0x04;
    info.flags.bold = flags & 0x02;
    info.flags.wideCodes = flags & 0x01;
    if (version >= 2) info.language = r.u8();
    while (!r.atEnd()) {
        if (info.flags.wideCodes && r.remaining() < 2) break;
        info.codes.push_back(info.flags.wideCodes ? r.u16() : r.u8());
    }
    return info;
}

DefineText readDefineText(ByteReader& r, int version) {
    DefineText t;
    t.version = std::uint8_t(version);
    t.id = r.u16();
    t.bounds = r.rect();
    t.matrix = r.matrix();
    unsigned glyphBits = r.u8();
    unsigned advanceBits = r.u8();
    if (glyphBits > 32 || advanceBits > 32) r.fail("text glyph fields wider than 32 bits");
    while (!r.atEnd()) {
        std::uint8_t flags = r.u8();
        if (flags == 0) break;
        r.charge(sizeof(TextRecord));
        TextRecord rec;
        if (flags & 0x08) rec.fontId = r.u16();
        if (flags & 0x04) rec.color = version >= 2 ? r.rgba() : r.rgb();
        if (flags & 0x01) rec.xOffset = r.i16();
        if (flags & 0x02) rec.yOffset = r.i16();
        if (flags & 0x08) rec.height = r.u16();
        std::size_t count = r.u8();
        r.charge(count * sizeof(GlyphEntry));
        rec.glyphs.resize(count);
        for (auto& g : rec.glyphs) {
            g.index = r.ubits(glyphBits);
            g.advance = r.sbits(advanceBits);
        }
        r.align();
        t.records.push_back(std::move(rec));
    }
    return t;
}

DefineEditText readDefineEditText(ByteReader& r) {
    DefineEditText t;
    t.id = r.u16();
    t.bounds = r.rect();
    std::uint8_t f1 = r.u8(), f2 = r.u8();
    bool hasText = f1 & 0x80;
    t.wordWrap = f1 & 0x40;
    t.multiline = f1 & 0x20;
    t.password = f1 & 0x10;
    t.readOnly = f1 & 0x08;
    bool hasColor = f1 & 0x04, hasMaxLength = f1 & 0x02, hasFont = f1 & 0x01;
    bool hasFontClass = f2 & 0x80;
    t.autoSize = f2 & 0x40;
    bool hasLayout = f2 & 0x20;
    t.noSelect = f2 & 0x10;
    t.border = f2 & 0x08;
    t.wasStatic = f2 & 0x04;
    t.html = f2 & 0x02;
    t.useOutlines = f2 & 0x01;
    if (hasFont) t.fontId = r.u16();
    if (hasFontClass) t.fontClass = r.string();
    if (hasFont || hasFontClass) t.fontHeight = r.u16();
    if (hasColor) t.color = r.rgba();
    if (hasMaxLength) t.maxLength = r.u16();
    if (hasLayout) {
        EditTextLayout l;
        l.align = TextAlign(r.u8());
        l.leftMargin = r.u16();
        l.rightMargin = r.u16();
        l.indent = r.u16();
        l.leading = r.i16();
        t.layout = l;
    }
    t.variableName = r.string();
    if (hasText) t.initialText = r.string();
    return t;
}

}  // namespace swf::detail
