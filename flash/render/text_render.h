// Static text (DefineText) and text fields (DefineEditText): glyph outlines
// from embedded fonts, system fonts where a field has none.
#pragma once

#include <QPainter>
#include <QPainterPath>
#include <unordered_map>

#include "flash/core/device_fonts.h"
#include "flash/core/edit_text.h"
#include "flash/core/font_glyphs.h"
#include "flash/core/library.h"
#include "flash/render/paint.h"

namespace flash::render {

using flash::DeviceFonts;
using flash::GlyphCache;

void drawStaticText(QPainter& p, const swf::DefineText& text, const Library& library, GlyphCache& glyphs,
                    const PaintStyle& ps);
void drawEditText(QPainter& p, const EditText& field, GlyphCache& glyphs, const DeviceFonts& deviceFonts,
                  const PaintStyle& ps);

}  // namespace flash::render
