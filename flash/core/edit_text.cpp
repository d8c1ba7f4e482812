#include "flash/core/edit_text.h"

#include "flash/core/geometry.h"

namespace flash {

QString decodeSwfString(const std::string& s, std::uint8_t swfVersion) {
    return swfVersion >= 6 ? QString::fromUtf8(s.data(), qsizetype(s.size()))
                           : QString::fromLatin1(s.data(), qsizetype(s.size()));
}

EditText::EditText(const Character* c, std::uint8_t swfVersion) : DisplayObject(ObjectKind::EditText, c) {
    const auto& def = definition();
    html = def.html;
    if (def.initialText) text = decodeSwfString(*def.initialText, swfVersion);
}

QRectF EditText::localBounds() const { return toQRectF(definition().bounds); }

}  // namespace flash
