#include "flash/core/font_glyphs.h"

#include "flash/core/shape_geometry.h"

namespace flash {

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
                                       ? c.fontInfo->codes[i]
                                       : font->glyphs[i].code;
            it->second.emplace(code16, int(i));
        }
    }
    auto found = it->second.find(code);
    return found == it->second.end() ? -1 : found->second;
}

}  // namespace flash
