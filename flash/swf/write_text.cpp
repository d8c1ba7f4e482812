#include <algorithm>

#include "flash/swf/error.h"
#include "flash/swf/write_internal.h"

namespace swf::detail {
namespace {

void writeLengthPrefixedName(ByteWriter& w, const std::string& name) {
    if (name.size() > 255) throw Error("a font name is longer than 255 bytes");
    w.u8(std::uint8_t(name.size()));
    w.bytes(Bytes(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
}

// Character codes take two bytes or one, as the font's wide-codes flag says.
void writeCode(ByteWriter& w, std::uint16_t code, bool wide) {
    if (wide)
        w.u16(code);
    else
        w.u8(std::uint8_t(code));
}

std::vector<std::uint8_t> glyphShape(const Glyph& g) {
    ByteWriter w;
    writeShapeRecords(w, g.shape, {1, 0}, 1);
    return std::move(w.data());
}

}  // namespace

void writeDefineFont(ByteWriter& w, const DefineFont& f) {
    w.u16(f.id);
    std::vector<std::vector<std::uint8_t>> shapes;
    for (const auto& g : f.glyphs) shapes.push_back(glyphShape(g));
    if (f.version == 1) {
        std::size_t offset = shapes.size() * 2;
        for (const auto& s : shapes) {
            w.u16(std::uint16_t(offset));
            offset += s.size();
        }
        for (const auto& s : shapes) w.bytes(s);
        return;
    }
    std::size_t shapeBytes = 0;
    for (const auto& s : shapes) shapeBytes += s.size();
    bool wideOffsets = f.flags.wideOffsets || (shapes.size() + 1) * 2 + shapeBytes > 0xffff;
    bool wideCodes = f.version >= 3 || f.flags.wideCodes;
    std::uint8_t flags = 0;
    if (f.layout) flags |= 0x80;
    if (f.flags.shiftJis) flags |= 0x40;
    if (f.flags.smallText) flags |= 0x20;
    if (f.flags.ansi) flags |= 0x10;
    if (wideOffsets) flags |= 0x08;
    if (wideCodes) flags |= 0x04;
    if (f.flags.italic) flags |= 0x02;
    if (f.flags.bold) flags |= 0x01;
    w.u8(flags);
    w.u8(f.language);
    writeLengthPrefixedName(w, f.name);
    if (f.glyphs.size() > 0xffff) throw Error("a font holds at most 65535 glyphs");
    w.u16(std::uint16_t(f.glyphs.size()));
    std::size_t entry = wideOffsets ? 4 : 2;
    std::size_t offset = (shapes.size() + 1) * entry;
    auto writeOffset = [&](std::size_t v) {
        if (wideOffsets)
            w.u32(std::uint32_t(v));
        else
            w.u16(std::uint16_t(v));
    };
    for (const auto& s : shapes) {
        writeOffset(offset);
        offset += s.size();
    }
    writeOffset(offset);
    for (const auto& s : shapes) w.bytes(s);
    for (const auto& g : f.glyphs) writeCode(w, g.code, wideCodes);
    if (!f.layout) return;
    w.u16(f.layout->ascent);
    w.u16(f.layout->descent);
    w.i16(f.layout->leading);
    for (const auto& g : f.glyphs) w.i16(g.advance);
    for (const auto& g : f.glyphs) w.rect(g.bounds);
    w.u16(std::uint16_t(f.layout->kerning.size()));
    for (const auto& k : f.layout->kerning) {
        writeCode(w, k.left, wideCodes);
        writeCode(w, k.right, wideCodes);
        w.i16(k.adjustment);
    }
}

void writeDefineFontInfo(ByteWriter& w, const DefineFontInfo& f) {
    w.u16(f.fontId);
    writeLengthPrefixedName(w, f.name);
    std::uint8_t flags = 0;
    if (f.flags.smallText) flags |= 0x20;
    if (f.flags.shiftJis) flags |= 0x10;
    if (f.flags.ansi) flags |= 0x08;
    if (f.flags.italic) flags |= 0x04;
    if (f.flags.bold) flags |= 0x02;
    if (f.flags.wideCodes) flags |= 0x01;
    w.u8(flags);
    if (f.version >= 2) w.u8(f.language);
    for (auto c : f.codes) writeCode(w, c, f.flags.wideCodes);
}

void writeDefineText(ByteWriter& w, const DefineText& t) {
    w.u16(t.id);
    w.rect(t.bounds);
    w.matrix(t.matrix);
    unsigned glyphBits = 0, advanceBits = 0;
    for (const auto& rec : t.records)
        for (const auto& g : rec.glyphs) {
            glyphBits = std::max(glyphBits, unsignedBits(g.index));
            advanceBits = std::max(advanceBits, signedBits(g.advance));
        }
    w.u8(std::uint8_t(glyphBits));
    w.u8(std::uint8_t(advanceBits));
    for (const auto& rec : t.records) {
        std::uint8_t flags = 0x80;
        if (rec.fontId) flags |= 0x08;
        if (rec.color) flags |= 0x04;
        if (rec.yOffset) flags |= 0x02;
        if (rec.xOffset) flags |= 0x01;
        w.u8(flags);
        if (rec.fontId) w.u16(*rec.fontId);
        if (rec.color) {
            if (t.version >= 2)
                w.rgba(*rec.color);
            else
                w.rgb(*rec.color);
        }
        if (rec.xOffset) w.i16(std::int16_t(*rec.xOffset));
        if (rec.yOffset) w.i16(std::int16_t(*rec.yOffset));
        if (rec.fontId) w.u16(rec.height);
        if (rec.glyphs.size() > 255) throw Error("a text record holds at most 255 glyphs");
        w.u8(std::uint8_t(rec.glyphs.size()));
        for (const auto& g : rec.glyphs) {
            w.ubits(glyphBits, g.index);
            w.sbits(advanceBits, g.advance);
        }
        w.flushBits();
    }
    w.u8(0);
}

void writeDefineEditText(ByteWriter& w, const DefineEditText& t) {
    w.u16(t.id);
    w.rect(t.bounds);
    std::uint8_t f1 = 0, f2 = 0;
    if (t.initialText) f1 |= 0x80;
    if (t.wordWrap) f1 |= 0x40;
    if (t.multiline) f1 |= 0x20;
    if (t.password) f1 |= 0x10;
    if (t.readOnly) f1 |= 0x08;
    if (t.color) f1 |= 0x04;
    if (t.maxLength) f1 |= 0x02;
    if (t.fontId) f1 |= 0x01;
    if (t.fontClass) f2 |= 0x80;
    if (t.autoSize) f2 |= 0x40;
    if (t.layout) f2 |= 0x20;
    if (t.noSelect) f2 |= 0x10;
    if (t.border) f2 |= 0x08;
    if (t.wasStatic) f2 |= 0x04;
    if (t.html) f2 |= 0x02;
    if (t.useOutlines) f2 |= 0x01;
    w.u8(f1);
    w.u8(f2);
    if (t.fontId) w.u16(*t.fontId);
    if (t.fontClass) w.string(*t.fontClass);
    if (t.fontId || t.fontClass) w.u16(t.fontHeight.value_or(240));
    if (t.color) w.rgba(*t.color);
    if (t.maxLength) w.u16(*t.maxLength);
    if (t.layout) {
        w.u8(std::uint8_t(t.layout->align));
        w.u16(t.layout->leftMargin);
        w.u16(t.layout->rightMargin);
        w.u16(t.layout->indent);
        w.i16(t.layout->leading);
    }
    w.string(t.variableName);
    if (t.initialText) w.string(*t.initialText);
}

}  // namespace swf::detail
