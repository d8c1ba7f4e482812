// Embedded-font glyphs for the sample movie, taken from a system font.
#pragma once

#include <QString>

#include "flash/swf/types.h"

namespace makesample {

// A DefineFont2 with the characters of text, outlines on a 1024-unit em.
swf::DefineFont makeFont(swf::CharacterId id, const QString& family, const QString& text);

// One line of static text in that font, height in twips, starting at x, y (baseline).
swf::DefineText makeText(swf::CharacterId id, const swf::DefineFont& font, const QString& text, int height,
                         swf::Color color, swf::Twips x, swf::Twips y);

}  // namespace makesample
