// Where a text field's characters go: its lines, their metrics and every
// glyph's place. Scripts read their sizes and scroll limits from it and the
// renderer draws from it, so what scripts measure is what shows.
#pragma once

#include <QFont>
#include <vector>

#include "flash/core/device_fonts.h"
#include "flash/core/font_glyphs.h"
#include "flash/core/rich_text.h"

namespace flash {

class EditText;

// Twips between a field's box and its text, on every side.
inline constexpr double kTextGutter = 40;

// A character format as drawn: an embedded font's glyphs, or a system font.
struct LayoutFont {
    TextStyle style;
    const Character* embedded = nullptr;
    QFont device;
    double scale = 0;                // glyph units to twips (embedded)
    double ascent = 0, descent = 0;  // twips
};

struct LayoutGlyph {
    int index = 0;  // of the character in the field's text
    QChar c;
    double x = 0, advance = 0;  // twips, from the line's left edge
    int font = 0;               // into TextLayout::fonts
};

struct LayoutLine {
    int begin = 0, end = 0;  // the characters it holds, its \r included
    std::vector<LayoutGlyph> glyphs;
    double left = 0;   // twips from the text area's left edge: margins, indent and alignment
    double width = 0;  // twips the glyphs span, as alignment counts them
    double top = 0;    // twips from the top of the text
    double ascent = 0, descent = 0, leading = 0;
    // Whether a bullet goes before it: the first line of a bulleted paragraph.
    bool bullet = false;
    // The room the line takes: its font's height in whole pixels and the
    // paragraph's leading.
    double height() const;
};

struct TextLayout {
    std::vector<LayoutFont> fonts;
    std::vector<LayoutLine> lines;
    // Twips the text spans: its widest line, and its lines' heights.
    double textWidth = 0, textHeight = 0;
    // Whether the text ends in a break, which opens an empty last line.
    bool openLastLine = false;

    // Twips line `i` takes in the text's height: an open last line none.
    double room(std::size_t i) const;

    // Scroll positions count lines from 1. The last line that shows in
    // full when `scroll` is the first one, in a view `viewHeight` twips
    // high (never before `scroll`).
    int bottomScroll(int scroll, double viewHeight) const;
    // The first line that still leaves the last one in full view.
    int maxScroll(double viewHeight) const;
};

// The field's text in its box, wrapped where the field wraps.
TextLayout layoutText(const EditText& field, const DeviceFonts& deviceFonts, GlyphCache& glyphs);

}  // namespace flash
