// Glyphs of embedded fonts: which glyph draws a character, and its outline,
// found on first use. Laying text out and drawing it read the same tables.
#pragma once

#include <QPainterPath>
#include <optional>
#include <unordered_map>
#include <vector>

#include "flash/core/library.h"

namespace flash {

// Em square of a font's glyph coordinates, in its own units.
double fontEmSquare(const swf::DefineFont& font);

class GlyphCache {
public:
    const QPainterPath& glyph(const swf::DefineFont& font, std::uint32_t index);
    // Index of the glyph for a character code, or -1.
    int indexOf(const Character& font, char32_t code);

private:
    std::unordered_map<const swf::DefineFont*, std::vector<std::optional<QPainterPath>>> glyphs_;
    std::unordered_map<const swf::DefineFont*, std::unordered_map<char32_t, int>> codes_;
};

}  // namespace flash
