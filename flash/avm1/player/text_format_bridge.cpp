#include "flash/avm1/player/text_format_bridge.h"

#include <algorithm>
#include <cmath>

#include "flash/avm1/player/text_values.h"

namespace flash {
namespace {

using kinolux::avm1::String;

constexpr std::pair<swf::TextAlign, std::u16string_view> kAligns[] = {{swf::TextAlign::Left, u"left"},
                                                                      {swf::TextAlign::Center, u"center"},
                                                                      {swf::TextAlign::Right, u"right"},
                                                                      {swf::TextAlign::Justify, u"justify"}};

}  // namespace

kinolux::avm1::TextFormat formatOf(const TextStyle& style) {
    kinolux::avm1::TextFormat f;
    f.font = toScriptString(style.face);
    f.size = style.size;
    f.color = double(style.color.rgb() & 0xFFFFFF);
    f.bold = style.bold;
    f.italic = style.italic;
    f.underline = style.underline;
    f.url = toScriptString(style.url);
    f.target = toScriptString(style.target);
    for (const auto& [align, name] : kAligns)
        if (align == style.align) f.align = String(name);
    f.leftMargin = style.leftMargin;
    f.rightMargin = style.rightMargin;
    f.indent = style.indent;
    f.leading = style.leading;
    f.blockIndent = style.blockIndent;
    f.bullet = style.bullet;
    f.kerning = style.kerning;
    f.letterSpacing = style.letterSpacing;
    f.tabStops = style.tabStops;
    return f;
}


void keepCommon(kinolux::avm1::TextFormat& f, const kinolux::avm1::TextFormat& o) {
    auto common = [](auto& mine, const auto& other) {
        if (mine && !(other && *mine == *other)) mine.reset();
    };
    common(f.font, o.font);
    common(f.url, o.url);
    common(f.target, o.target);
    common(f.align, o.align);
    common(f.size, o.size);
    common(f.color, o.color);
    common(f.leftMargin, o.leftMargin);
    common(f.rightMargin, o.rightMargin);
    common(f.indent, o.indent);
    common(f.leading, o.leading);
    common(f.blockIndent, o.blockIndent);
    common(f.letterSpacing, o.letterSpacing);
    common(f.bold, o.bold);
    common(f.italic, o.italic);
    common(f.underline, o.underline);
    common(f.bullet, o.bullet);
    common(f.kerning, o.kerning);
    common(f.tabStops, o.tabStops);
}

bool setsParagraph(const kinolux::avm1::TextFormat& f) {
    return f.align || f.leftMargin || f.rightMargin || f.indent || f.leading || f.blockIndent || f.bullet ||
           f.tabStops;
}


void applyCharacterFields(const kinolux::avm1::TextFormat& f, TextStyle& style) {
    if (f.font) style.face = fromScriptString(*f.font);
    if (f.size && std::isfinite(*f.size) && *f.size > 0) style.size = std::min(*f.size, 1000.0);
    if (f.color && std::isfinite(*f.color)) style.color = QColor::fromRgb(std::uint32_t(std::int64_t(*f.color)) & 0xFFFFFF);
    if (f.bold) style.bold = *f.bold;
    if (f.italic) style.italic = *f.italic;
    if (f.underline) style.underline = *f.underline;
    if (f.kerning) style.kerning = *f.kerning;
    if (f.letterSpacing && std::isfinite(*f.letterSpacing)) style.letterSpacing = *f.letterSpacing;
    if (f.url) style.url = fromScriptString(*f.url);
    if (f.target) style.target = fromScriptString(*f.target);
}

void applyParagraphFields(const kinolux::avm1::TextFormat& f, TextStyle& style) {
    auto number = [](const std::optional<double>& v, double& out) {
        if (v && std::isfinite(*v)) out = *v;
    };
    if (f.align) {
        for (const auto& [align, name] : kAligns)
            if (f.align->equalsIgnoreCase(name)) style.align = align;
    }
    number(f.leftMargin, style.leftMargin);
    number(f.rightMargin, style.rightMargin);
    number(f.indent, style.indent);
    number(f.leading, style.leading);
    number(f.blockIndent, style.blockIndent);
    if (f.bullet) style.bullet = *f.bullet;
    if (f.tabStops) style.tabStops = *f.tabStops;
}

void apply(const kinolux::avm1::TextFormat& f, TextStyle& style) {
    applyCharacterFields(f, style);
    applyParagraphFields(f, style);
}

}  // namespace flash
