// The script face of a text field: its properties as TextField shows them.
#include "flash/core/edit_text.h"
#include "flash/core/object_binding.h"
#include "flash/core/player.h"
#include "flash/core/text_values.h"

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

constexpr std::pair<swf::TextAlign, std::u16string_view> kAligns[] = {{swf::TextAlign::Left, u"left"},
                                                                      {swf::TextAlign::Center, u"center"},
                                                                      {swf::TextAlign::Right, u"right"},
                                                                      {swf::TextAlign::Justify, u"justify"}};

kinolux::avm1::TextFormat formatOf(const TextStyle& style) {
    kinolux::avm1::TextFormat f;
    f.font = toScriptString(style.face);
    f.size = style.size;
    f.color = double(style.color.rgb() & 0xFFFFFF);
    f.bold = style.bold;
    f.italic = style.italic;
    f.underline = style.underline;
    for (const auto& [align, name] : kAligns)
        if (align == style.align) f.align = String(name);
    f.leftMargin = style.leftMargin;
    f.rightMargin = style.rightMargin;
    f.indent = style.indent;
    f.leading = style.leading;
    return f;
}

// Only what the format sets changes; numbers that are no finite number are ignored.
void apply(const kinolux::avm1::TextFormat& f, TextStyle& style) {
    auto number = [](const std::optional<double>& v, double& out) {
        if (v && std::isfinite(*v)) out = *v;
    };
    if (f.font) style.face = fromScriptString(*f.font);
    if (f.size && std::isfinite(*f.size) && *f.size > 0) style.size = std::min(*f.size, 1000.0);
    if (f.color && std::isfinite(*f.color)) style.color = QColor::fromRgb(std::uint32_t(std::int64_t(*f.color)) & 0xFFFFFF);
    if (f.bold) style.bold = *f.bold;
    if (f.italic) style.italic = *f.italic;
    if (f.underline) style.underline = *f.underline;
    if (f.align) {
        for (const auto& [align, name] : kAligns)
            if (f.align->equalsIgnoreCase(name)) style.align = align;
    }
    number(f.leftMargin, style.leftMargin);
    number(f.rightMargin, style.rightMargin);
    number(f.indent, style.indent);
    number(f.leading, style.leading);
}

class TextBinding : public ObjectBinding<kinolux::avm1::TextFieldBinding> {
public:
    explicit TextBinding(EditText& field) : ObjectBinding(field), field_(field) {}

    Value textProperty(TextFieldProperty p) const override {
        using P = TextFieldProperty;
        switch (p) {
        case P::Text: return Value(toScriptString(field_.plainText()));
        case P::HtmlText: return Value(toScriptString(field_.html ? field_.text : field_.plainText()));
        case P::Html: return Value(field_.html);
        case P::TextColor: return colorValue(field_.style.color);
        case P::TextWidth: return Value(0);
        case P::TextHeight: return Value(0);
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
        case P::Scroll: return Value(field_.scroll);
        case P::MaxScroll:
        case P::BottomScroll: return Value(1);
        case P::HScroll: return Value(field_.hscroll);
        case P::MaxHScroll: return Value(0);
        case P::EmbedFonts: return Value(field_.embedFonts);
        case P::Password: return Value(field_.password);
        case P::CondenseWhite: return Value(field_.condenseWhite);
        case P::AntiAliasType: return Value(String(u"normal"));
        case P::GridFitType: return Value(String(u"pixel"));
        case P::MouseWheelEnabled: return Value(true);
        default: return Value(0);
        }
    }

    void setTextProperty(TextFieldProperty p, const Value& v) override {
        using P = TextFieldProperty;
        switch (p) {
        case P::Text: field_.text = field_.html ? escapeHtml(fromScriptValue(v)) : fromScriptValue(v); break;
        case P::HtmlText: field_.text = fromScriptValue(v); break;
        case P::Html: field_.html = flagOf(v); break;
        case P::TextColor: field_.style.color = colorOf(v); break;
        case P::AutoSize:
            for (const auto& [mode, name] : kAutoSizes)
                if (v.isString() && v.string() == name) field_.autoSize = mode;
            break;
        case P::Background: field_.background = flagOf(v); break;
        case P::BackgroundColor: field_.backgroundColor = colorOf(v); break;
        case P::Border: field_.border = flagOf(v); break;
        case P::BorderColor: field_.borderColor = colorOf(v); break;
        case P::Multiline: field_.multiline = flagOf(v); break;
        case P::WordWrap: field_.wordWrap = flagOf(v); break;
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
        case P::Scroll: field_.scroll = v.isNumber() && v.number() >= 1 && v.number() < 1e9 ? int(v.number()) : 1; break;
        case P::HScroll: field_.hscroll = v.isNumber() && v.number() >= 0 && v.number() < 1e9 ? int(v.number()) : 0; break;
        case P::EmbedFonts: field_.embedFonts = flagOf(v); break;
        case P::Password: field_.password = flagOf(v); break;
        case P::CondenseWhite: field_.condenseWhite = flagOf(v); break;
        default: break;
        }
    }

    // The field keeps one format for all its text: a range's format, and
    // the format for new text, are that one.
    kinolux::avm1::TextFormat textFormat(int, int) const override { return formatOf(field_.style); }
    void setTextFormat(int, int, const kinolux::avm1::TextFormat& f) override { apply(f, field_.style); }
    kinolux::avm1::TextFormat newTextFormat() const override { return formatOf(field_.style); }
    void setNewTextFormat(const kinolux::avm1::TextFormat& f) override { apply(f, field_.style); }

    void replaceText(int begin, int end, const String& text) override {
        QString current = field_.plainText();
        const qsizetype size = current.size();
        const qsizetype b = begin < 0 ? size : std::min<qsizetype>(begin, size);
        const qsizetype e = end < 0 ? size : std::clamp<qsizetype>(end, b, size);
        QString updated = current.left(b) + fromScriptString(text) + current.mid(e);
        field_.text = field_.html ? escapeHtml(updated) : updated;
    }

private:
    EditText& field_;
};

}  // namespace

std::unique_ptr<kinolux::avm1::DisplayObjectBinding> makeTextBinding(EditText& field) {
    return std::make_unique<TextBinding>(field);
}

}  // namespace flash
