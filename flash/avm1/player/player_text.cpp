// The size of text in a script's TextFormat, which the machine asks of the
// player (TextFormat.getTextExtent).
#include "flash/avm1/player/player_host.h"
#include "flash/avm1/player/text_format_bridge.h"
#include "flash/avm1/player/text_values.h"
#include "flash/core/text_measure.h"

namespace flash {

kinolux::avm1::TextExtent PlayerHost::measureText(const kinolux::avm1::TextFormat& format, const String& text,
                                                  std::optional<double> width) {
    TextStyle style;
    style.face = "Times New Roman";
    apply(format, style);
    const TextExtent e = measureTextExtent(style, fromScriptString(text), width);
    return {e.ascent, e.descent, e.width, e.height, e.textFieldWidth, e.textFieldHeight};
}

}  // namespace flash
