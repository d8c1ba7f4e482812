// A dynamic or input text field: the text it shows (plain, or HTML source
// when html is set), its box and the settings scripts may change.
#pragma once

#include <QColor>
#include <QString>

#include "flash/core/display_object.h"
#include "flash/core/html_text.h"

namespace flash {

enum class AutoSize : std::uint8_t { None, Left, Center, Right };

class EditText : public DisplayObject {
public:
    // A field the timeline places, set up from its definition.
    EditText(const Character* c, Player& player);
    // A field a script creates (createTextField), at a box in pixels.
    EditText(Player& player, QRectF boxPixels);

    // The definition the field was placed from; null for script-made ones.
    const swf::DefineEditText* definition() const { return character_ ? character_->as<swf::DefineEditText>() : nullptr; }
    // The embedded font the definition names, if any.
    const Character* definedFont() const;

    // The text: plain, or the HTML source when `html` is set.
    QString text;
    bool html = false;
    QRectF box;  // twips, in the field's own coordinates
    TextStyle style;
    bool border = false, background = false;
    QColor borderColor = Qt::black, backgroundColor = Qt::white;
    bool multiline = false, wordWrap = false, password = false, selectable = true;
    bool editable = false, embedFonts = false, condenseWhite = false;
    AutoSize autoSize = AutoSize::None;
    int maxChars = 0;  // 0: no limit
    QString restrict;  // empty: anything may be typed
    bool hasRestrict = false;
    kinolux::avm1::String variable;
    int scroll = 1, hscroll = 0;

    // The text without markup, as scripts read .text.
    QString plainText() const;

    QRectF localBounds() const override { return box; }
    // A field takes a new size by resizing its box, not by scaling.
    void setWidth(double pixels) override;
    void setHeight(double pixels) override;
};

// Text as stored in the file: UTF-8 from SWF 6 on, the Windows code page
// (taken as Latin-1) before.
QString decodeSwfString(const std::string& s, std::uint8_t swfVersion);

}  // namespace flash
