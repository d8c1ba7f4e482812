#include "flash/core/edit_text.h"

#include <algorithm>
#include <cmath>

#include "flash/avm1/player/bindings.h"
#include "flash/core/geometry.h"

namespace flash {

namespace {
// The face of fields that name none.
const QString kDefaultFace = QStringLiteral("Times New Roman");
}  // namespace

QString decodeSwfString(const std::string& s, std::uint8_t swfVersion) {
    return swfVersion >= 6 ? QString::fromUtf8(s.data(), qsizetype(s.size()))
                           : QString::fromLatin1(s.data(), qsizetype(s.size()));
}

EditText::EditText(const Character* c, Player& player) : DisplayObject(ObjectKind::EditText, c, player) {
    const auto& def = *definition();
    const int version = c->owner ? c->owner->swfVersion() : 10;
    box = toQRectF(def.bounds);
    html = def.html;
    border = background = def.border;
    multiline = def.multiline;
    wordWrap = def.wordWrap;
    password = def.password;
    selectable = !def.noSelect;
    editable = !def.readOnly;
    embedFonts = def.useOutlines;
    autoSize = def.autoSize ? AutoSize::Left : AutoSize::None;
    if (def.maxLength) maxChars = *def.maxLength;
    variable = kinolux::avm1::String::fromSwf(def.variableName, version);
    style.size = def.fontHeight.value_or(240) / 20.0;
    if (def.color) style.color = QColor(def.color->r, def.color->g, def.color->b, def.color->a);
    if (const Character* font = definedFont()) {
        const auto* f = font->as<swf::DefineFont>();
        style.face = QString::fromStdString(font->fontInfo ? font->fontInfo->name : f->name);
        style.bold = f->flags.bold;
        style.italic = f->flags.italic;
    } else if (def.fontClass) {
        style.face = QString::fromStdString(*def.fontClass);
    } else {
        style.face = kDefaultFace;
    }
    if (def.layout) {
        style.align = def.layout->align;
        style.leftMargin = def.layout->leftMargin / 20.0;
        style.rightMargin = def.layout->rightMargin / 20.0;
        style.indent = def.layout->indent / 20.0;
        style.leading = def.layout->leading / 20.0;
    }
    if (def.initialText) {
        const QString initial = decodeSwfString(*def.initialText, std::uint8_t(version));
        if (html) setHtmlText(initial);
        else setPlainText(initial);
    }
    setBinding(makeTextBinding(*this));
}

EditText::EditText(Player& player, QRectF boxPixels) : DisplayObject(ObjectKind::EditText, nullptr, player) {
    box = QRectF(0, 0, boxPixels.width() * 20.0, boxPixels.height() * 20.0);
    setMatrix(QTransform::fromTranslate(std::trunc(boxPixels.x() * 20.0), std::trunc(boxPixels.y() * 20.0)));
    style.face = kDefaultFace;
    editable = false;
    setBinding(makeTextBinding(*this));
}

const Character* EditText::definedFont() const {
    const auto* def = definition();
    if (!def || !def->fontId || !character_->owner) return nullptr;
    const Character* font = character_->owner->get(*def->fontId);
    return font && font->as<swf::DefineFont>() ? font : nullptr;
}

void EditText::setPlainText(const QString& text) { content = RichText(text, style); }

void EditText::setHtmlText(const QString& source) {
    if (html) content = parseHtml(source, style, {multiline, condenseWhite});
    else setPlainText(source);
}

QString EditText::htmlText() const { return html ? writeHtml(content) : content.text(); }

void EditText::setWidth(double pixels) {
    if (!std::isfinite(pixels)) return;
    const double current = width();
    box.setWidth(std::max(0.0, current > 0 ? box.width() * pixels / current : pixels * 20.0));
}

void EditText::setHeight(double pixels) {
    if (!std::isfinite(pixels)) return;
    const double current = height();
    box.setHeight(std::max(0.0, current > 0 ? box.height() * pixels / current : pixels * 20.0));
}

}  // namespace flash
