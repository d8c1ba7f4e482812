// Static text (DefineText) and text fields (DefineEditText): glyph outlines
// from embedded fonts, system fonts where a field has none.
#pragma once

#include <QPainter>
#include <QPainterPath>
#include <unordered_map>

#include "flash/core/device_fonts.h"
#include "flash/core/edit_text.h"
#include "flash/core/library.h"
#include "flash/render/paint.h"

namespace flash::render {

// Glyph outlines of the embedded fonts, built on first use.
class GlyphCache {
public:
    const QPainterPath& glyph(const swf::DefineFont& font, std::uint32_t index);
    // Index of the glyph for a character code, or -1.
    int indexOf(const Character& font, char32_t code);

private:
    std::unordered_map<const swf::DefineFont*, std::vector<std::optional<QPainterPath>>> glyphs_;
    std::unordered_map<const swf::DefineFont*, std::unordered_map<char32_t, int>> codes_;
};

using flash::DeviceFonts;

// Em square of a font's glyph coordinates, in twips.
double fontEmSquare(const swf::DefineFont& font);

void drawStaticText(QPainter& p, const swf::DefineText& text, const Library& library, GlyphCache& glyphs,
                    const PaintStyle& ps);
void drawEditText(QPainter& p, const EditText& field, const Library& library, GlyphCache& glyphs,
                  const DeviceFonts& deviceFonts, const PaintStyle& ps);

}  // namespace flash::render
