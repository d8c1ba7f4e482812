// The script face of a text field: its properties as TextField shows them.
#include <cmath>
#include <limits>
#include <memory>
#include <unordered_map>

#include "flash/avm1/player/object_binding.h"
#include "flash/avm1/player/text_format_bridge.h"
#include "flash/avm1/player/text_values.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"
#include "flash/core/text_editing.h"

namespace flash {
namespace {

using kinolux::avm1::String;
using kinolux::avm1::TextFieldProperty;
using kinolux::avm1::Value;

constexpr std::pair<AutoSize, std::u16string_view> kAutoSizes[] = {
    {AutoSize::None, u"none"}, {AutoSize::Left, u"left"}, {AutoSize::Center, u"center"}, {AutoSize::Right, u"right"}};

Value colorValue(const QColor& c) { return Value(double(c.rgb() & 0xFFFFFF)); }

QColor colorOf(const Value& v) {
    double n = v.isNumber() ? v.number() : 0;
    std::uint32_t rgb = std::isfinite(n) ? std::uint32_t(std::int64_t(n)) : 0;
    return QColor::fromRgb(rgb & 0xFFFFFF);
}

bool flagOf(const Value& v) { return v.isBoolean() ? v.boolean() : v.isNumber() && v.number() != 0; }

// Sizes scripts read are whole pixels, the fraction dropped.
double wholePixels(double twips) { return std::floor(twips / 20.0); }

// The player keeps the first line counted from 0 in a 32-bit integer, so
// the lowest integer wraps round to the highest line.
int scrollLine(const Value& v) {
    const std::int32_t line = kinolux::avm1::toInt32(v.isNumber() ? v.number() : 0);
    return line == std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<int>::max() : std::max(1, line);
}

class TextBinding : public ObjectBinding<kinolux::avm1::TextFieldBinding> {
public:
    explicit TextBinding(EditText& field) : ObjectBinding(field), field_(field) {}

    Value textProperty(TextFieldProperty p) const override {
        using P = TextFieldProperty;
        if (p == P::Text || p == P::HtmlText || p == P::Length) field_.player().refreshTextVariable(field_);
        switch (p) {
        case P::Text: return Value(toScriptString(field_.plainText()));
        case P::HtmlText: return Value(toScriptString(field_.htmlText()));
        case P::Html: return Value(field_.html);
        case P::TextColor: return colorValue(field_.style.color);
        case P::TextWidth: return Value(wholePixels(field_.layout().textWidth));
        case P::TextHeight: return Value(wholePixels(field_.layout().textHeight));
        case P::Length: return Value(double(field_.plainText().size()));
        case P::AutoSize:
            for (const auto& [mode, name] : kAutoSizes)
                if (mode == field_.autoSize) return Value(String(name));
            return Value(String(u"none"));
        case P::Background: return Value(field_.background);
        case P::BackgroundColor: return colorValue(field_.backgroundColor);
        case P::Border: return Value(field_.border);
        case P::BorderColor: return colorValue(field_.borderColor);
        case P::Multiline: return Value(field_.multiline);
        case P::WordWrap: return Value(field_.wordWrap);
        case P::Selectable: return Value(field_.selectable);
        case P::Type: return Value(String(field_.editable ? u"input" : u"dynamic"));
        case P::MaxChars: return field_.maxChars > 0 ? Value(field_.maxChars) : Value::null();
        case P::Restrict: return field_.hasRestrict ? Value(toScriptString(field_.restrict)) : Value::null();
        case P::Variable: return field_.variable.empty() ? Value::null() : Value(field_.variable);
        case P::Scroll: return Value(field_.visibleScroll());
        case P::MaxScroll: return Value(field_.maxScroll());
        case P::BottomScroll: return Value(field_.bottomScroll());
        case P::HScroll: return Value(field_.visibleHScroll());
        case P::MaxHScroll: return Value(field_.maxHScroll());
        case P::EmbedFonts: return Value(field_.embedFonts);
        case P::Password: return Value(field_.password);
        case P::CondenseWhite: return Value(field_.condenseWhite);
        case P::AntiAliasType: return Value(String(u"normal"));
        case P::GridFitType: return Value(String(u"pixel"));
        case P::MouseWheelEnabled: return Value(field_.mouseWheelEnabled);
        default: return Value(0);
        }
    }

    void setTextProperty(TextFieldProperty p, const Value& v) override {
        using P = TextFieldProperty;
        switch (p) {
        case P::Text:
            field_.setPlainText(fromScriptValue(v));
            field_.player().storeTextVariable(field_);
            break;
        case P::HtmlText:
            field_.setHtmlText(fromScriptValue(v));
            field_.player().storeTextVariable(field_);
            break;
        case P::Html: field_.html = flagOf(v); break;
        case P::TextColor:
            field_.style.color = colorOf(v);
            field_.content.restyle(0, field_.content.size(), [&](TextStyle& s) { s.color = field_.style.color; });
            break;
        case P::AutoSize:
            for (const auto& [mode, name] : kAutoSizes)
                if (v.isString() && v.string() == name) field_.autoSize = mode;
            field_.fitToText();
            break;
        case P::Background: field_.background = flagOf(v); break;
        case P::BackgroundColor: field_.backgroundColor = colorOf(v); break;
        case P::Border: field_.border = flagOf(v); break;
        case P::BorderColor: field_.borderColor = colorOf(v); break;
        case P::Multiline:
            field_.multiline = flagOf(v);
            field_.fitToText();
            break;
        case P::WordWrap:
            field_.wordWrap = flagOf(v);
            field_.fitToText();
            break;
        case P::Selectable: field_.selectable = flagOf(v); break;
        case P::Type:
            if (v.isString() && v.string().equalsIgnoreCase(u"input")) field_.editable = true;
            else if (v.isString() && v.string().equalsIgnoreCase(u"dynamic")) field_.editable = false;
            break;
        case P::MaxChars: field_.maxChars = v.isNumber() && v.number() > 0 && v.number() < 1e9 ? int(v.number()) : 0; break;
        case P::Restrict:
            field_.hasRestrict = v.isString();
            field_.restrict = v.isString() ? fromScriptValue(v) : QString();
            break;
        case P::Variable:
            field_.variable = v.isString() ? v.string() : String();
            field_.player().bindTextVariable(field_);
            break;
        case P::Scroll: field_.scroll = std::min(scrollLine(v), field_.maxScroll()); break;
        case P::HScroll:
            field_.hscroll = std::clamp(kinolux::avm1::toInt32(v.isNumber() ? v.number() : 0), 0, field_.maxHScroll());
            break;
        case P::EmbedFonts:
            field_.embedFonts = flagOf(v);
            field_.fitToText();
            break;
        case P::Password: field_.password = flagOf(v); break;
        case P::CondenseWhite: field_.condenseWhite = flagOf(v); break;
        case P::MouseWheelEnabled: field_.mouseWheelEnabled = flagOf(v); break;
        default: break;
        }
    }

    // A range's format is what all its characters share; begin -1 is the
    // whole text, end -1 one character.
    kinolux::avm1::TextFormat textFormat(int begin, int end) const override {
        auto [b, e] = range(begin, end);
        if (b >= e) return {};
        kinolux::avm1::TextFormat f = formatOf(field_.content.styleAt(b));
        for (int i = b + 1; i < e; ++i)
            if (!(field_.content.styleAt(i) == field_.content.styleAt(i - 1)))
                keepCommon(f, formatOf(field_.content.styleAt(i)));
        return f;
    }

    // Paragraph fields change the whole paragraphs the range touches.
    void setTextFormat(int begin, int end, const kinolux::avm1::TextFormat& f) override {
        auto [b, e] = range(begin, end);
        if (b >= e) return;
        RichText& content = field_.content;
        content.restyle(b, e, [&](TextStyle& s) { applyCharacterFields(f, s); });
        if (setsParagraph(f))
            content.restyle(content.paragraphStart(b), content.paragraphEnd(e - 1),
                            [&](TextStyle& s) { applyParagraphFields(f, s); });
        field_.fitToText();
    }

    kinolux::avm1::TextFormat newTextFormat() const override { return formatOf(field_.style); }
    void setNewTextFormat(const kinolux::avm1::TextFormat& f) override { apply(f, field_.style); }

    void replaceText(int begin, int end, const String& text) override {
        const int size = field_.content.size();
        const int b = begin < 0 ? size : std::min(begin, size);
        const int e = end < 0 ? size : std::clamp(end, b, size);
        field_.content.replace(b, e, toFieldNewlines(fromScriptString(text)), field_.style);
        field_.fitToText();
    }

    std::optional<Selection> selection() const override {
        const auto sel = field_.selection();
        if (!sel) return std::nullopt;
        return Selection{sel->begin(), sel->end(), sel->caret};
    }

    void setSelection(int anchor, int caret) override {
        const int size = field_.content.size();
        field_.select(std::clamp(anchor, 0, size), std::clamp(caret, 0, size));
    }

    void replaceSelection(const String& text) override {
        flash::replaceSelection(field_, toFieldNewlines(fromScriptString(text)));
    }

    void setStyleSheet(std::optional<StyleFormats> formats) override {
        if (!formats) return field_.setStyleSheet({});
        auto bySelector = std::make_shared<std::unordered_map<QString, kinolux::avm1::TextFormat>>();
        for (auto& [selector, format] : *formats) (*bySelector)[fromScriptString(selector)] = std::move(format);
        field_.setStyleSheet([bySelector](const QString& selector, TextStyle& style) {
            if (auto it = bySelector->find(selector); it != bySelector->end()) apply(it->second, style);
        });
    }

private:
    std::pair<int, int> range(int begin, int end) const {
        const int size = field_.content.size();
        if (begin < 0) return {0, size};
        const int b = std::min(begin, size);
        return {b, end < 0 ? std::min(b + 1, size) : std::clamp(end, b, size)};
    }

    EditText& field_;
};

}  // namespace

std::unique_ptr<ScriptBinding> makeTextBinding(EditText& field) {
    return std::make_unique<TextBinding>(field);
}

}  // namespace flash
