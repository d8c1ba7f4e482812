#include "flash/core/edit_text.h"

#include <algorithm>
#include <cmath>

#include "flash/core/geometry.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

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
    variable = kinolux::script::String::fromSwf(def.variableName, version);
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

const Library& EditText::library() const {
    if (character_ && character_->owner) return *character_->owner;
    const MovieClip* parent = parentClip();
    return parent ? parent->library() : player().library();
}

void EditText::setPlainText(const QString& text) {
    htmlSource_.clear();
    content = RichText(text, style);
    fitToText();
}

void EditText::setHtmlText(const QString& source) {
    if (!html) return setPlainText(source);
    // Only HTML a sheet styles is kept: a sheet set later leaves the
    // formats HTML read without one gave.
    htmlSource_ = styleSheet_ ? source : QString();
    content = parseHtml(source, style, {multiline, condenseWhite}, styleSheet_);
    fitToText();
}

void EditText::setStyleSheet(HtmlStyleSheet sheet) {
    styleSheet_ = std::move(sheet);
    if (html && !htmlSource_.isEmpty()) setHtmlText(QString(htmlSource_));
}

void EditText::dropStyleSheet() {
    styleSheet_ = {};
    htmlSource_.clear();
}

TextLayout EditText::layout() const {
    GlyphCache glyphs;
    return layoutText(*this, player().deviceFonts(), glyphs);
}

namespace {
double viewHeight(const QRectF& box) { return std::max(0.0, box.height() - 2 * kTextGutter); }
double viewWidth(const QRectF& box) { return std::max(0.0, box.width() - 2 * kTextGutter); }
}  // namespace

int EditText::maxScroll() const { return layout().maxScroll(viewHeight(box)); }

int EditText::bottomScroll() const {
    const TextLayout l = layout();
    return l.bottomScroll(std::min(scroll, l.maxScroll(viewHeight(box))), viewHeight(box));
}

int EditText::visibleScroll() const { return std::clamp(scroll, 1, maxScroll()); }

int EditText::maxHScroll() const {
    if (wordWrap) return 0;
    return std::max(0, int(std::floor((layout().textWidth - viewWidth(box)) / 20.0)));
}

int EditText::visibleHScroll() const { return std::clamp(hscroll, 0, maxHScroll()); }

int EditText::characterAt(QPointF local) const {
    const TextLayout l = layout();
    const int first = std::clamp(scroll, 1, l.maxScroll(viewHeight(box))) - 1;
    const double y = local.y() - box.top() - kTextGutter + l.lines[std::size_t(first)].top;
    const double x = local.x() - box.left() - kTextGutter + visibleHScroll() * 20.0;
    for (std::size_t i = std::size_t(first); i < l.lines.size(); ++i) {
        const LayoutLine& line = l.lines[i];
        if (y < line.top || y >= line.top + line.height()) continue;
        for (const LayoutGlyph& g : line.glyphs)
            if (x >= line.left + g.x && x < line.left + g.x + g.advance) return g.index;
        return -1;
    }
    return -1;
}

int EditText::caretIndexAt(QPointF local) const {
    const TextLayout l = layout();
    if (l.lines.empty()) return 0;
    const int first = std::clamp(scroll, 1, l.maxScroll(viewHeight(box))) - 1;
    const double y = local.y() - box.top() - kTextGutter + l.lines[std::size_t(first)].top;
    const double x = local.x() - box.left() - kTextGutter + visibleHScroll() * 20.0;
    std::size_t at = std::size_t(first);
    while (at + 1 < l.lines.size() && y >= l.lines[at].top + l.lines[at].height()) ++at;
    const LayoutLine& line = l.lines[at];
    // The line's end is before its \r: the caret never goes past a break.
    int lineEnd = line.end;
    if (lineEnd > line.begin && content.text().at(lineEnd - 1) == u'\r') --lineEnd;
    for (const LayoutGlyph& g : line.glyphs)
        if (x < line.left + g.x + g.advance / 2) return std::min(g.index, lineEnd);
    return lineEnd;
}

void EditText::fitToText() {
    if (autoSize == AutoSize::None) return;
    const TextLayout l = layout();
    const double width = wordWrap ? box.width() : l.textWidth + 2 * kTextGutter;
    const double height = l.textHeight + 2 * kTextGutter;
    const double grown = width - box.width();
    box.setWidth(width);
    box.setHeight(height);
    const double shift = autoSize == AutoSize::Right ? grown : autoSize == AutoSize::Center ? grown / 2 : 0;
    if (shift == 0) return;
    // The anchored edge stays put in the parent, however the field is turned.
    const QPointF moved = matrix().map(QPointF(-shift, 0)) - matrix().map(QPointF(0, 0));
    setX((matrix().dx() + moved.x()) / 20.0);
    setY((matrix().dy() + moved.y()) / 20.0);
}

std::optional<TextSelection> EditText::selection() const {
    if (!selection_) return std::nullopt;
    const int size = content.size();
    return TextSelection{std::clamp(selection_->anchor, 0, size), std::clamp(selection_->caret, 0, size)};
}

QString EditText::htmlText() const {
    if (!html) return content.text();
    return styleSheet_ && !htmlSource_.isEmpty() ? htmlSource_ : writeHtml(content);
}

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
