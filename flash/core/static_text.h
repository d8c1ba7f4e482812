// The characters of a clip's static text (DefineText), as TextSnapshot
// reads them: the glyphs mapped back to the characters their fonts give
// them, the texts in depth order.
#pragma once

#include <QString>

namespace flash {

class DisplayObject;
class MovieClip;

// One static text's characters; none for any other display object, nor for
// a text with glyphs of a font the movie lacks.
QString staticTextOf(const DisplayObject& text);
// The clip's static texts, one after another.
QString staticTextOf(const MovieClip& clip);

}  // namespace flash
