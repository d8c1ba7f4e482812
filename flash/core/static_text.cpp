#include "flash/core/static_text.h"

#include "flash/core/library.h"
#include "flash/core/movie_clip.h"

namespace flash {
namespace {

QString charactersOf(const swf::DefineText& text, const Library& library) {
    QString out;
    const Character* font = nullptr;
    for (const auto& record : text.records) {
        if (record.fontId) font = library.get(*record.fontId);
        const auto* f = font ? font->as<swf::DefineFont>() : nullptr;
        // Glyphs of no font the movie has leave the whole text unknown.
        if (!f && !record.glyphs.empty()) return {};
        for (const auto& glyph : record.glyphs) {
            if (glyph.index >= f->glyphs.size()) continue;
            // Fonts of version 1 keep their codes in DefineFontInfo.
            const bool fromInfo = f->version == 1 && font->fontInfo && glyph.index < font->fontInfo->codes.size();
            const char32_t code = fromInfo ? font->fontInfo->codes[glyph.index] : f->glyphs[glyph.index].code;
            out += QString::fromUcs4(&code, 1);
        }
    }
    return out;
}

}  // namespace

QString staticTextOf(const DisplayObject& text) {
    if (text.kind() != ObjectKind::Text || !text.character() || !text.character()->owner) return {};
    const auto* definition = text.character()->as<swf::DefineText>();
    return definition ? charactersOf(*definition, *text.character()->owner) : QString();
}

QString staticTextOf(const MovieClip& clip) {
    QString out;
    for (const auto& [depth, child] : clip.children()) out += staticTextOf(*child);
    return out;
}

}  // namespace flash
