// The characters of a clip's static text (DefineText), as TextSnapshot
// reads them: the glyphs mapped back to the characters their fonts give
// them, the texts in depth order.
#pragma once

#include <QString>

namespace flash {

class MovieClip;

QString staticTextOf(const MovieClip& clip);

}  // namespace flash
