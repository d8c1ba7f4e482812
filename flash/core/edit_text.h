// A dynamic or input text field; for now it shows the text it was defined
// with (or that a script sets).
#pragma once

#include <QString>

#include "flash/core/display_object.h"

namespace flash {

class EditText : public DisplayObject {
public:
    explicit EditText(const Character* c, std::uint8_t swfVersion = 10);

    const swf::DefineEditText& definition() const { return *character_->as<swf::DefineEditText>(); }
    QString text;  // HTML source when html is set
    bool html = false;

    QRectF localBounds() const override;
};

// Text as stored in the file: UTF-8 from SWF 6 on, the Windows code page
// (taken as Latin-1) before.
QString decodeSwfString(const std::string& s, std::uint8_t swfVersion);

}  // namespace flash
