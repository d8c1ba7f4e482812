// flash.text.TextField and TextFormat on the player's text fields. A
// field's properties go through the binding the older scripts use too, so
// a field reads and lays out the same whichever language set it.
#include <algorithm>
#include <cmath>

#include "flash/avm1/player/bindings.h"
#include "flash/avm1/player/text_values.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"
#include "flash/avm2/player/text_field_access.h"
#include "flash/core/edit_text.h"
#include "flash/core/font_glyphs.h"
#include "flash/core/library.h"
#include "flash/core/static_text.h"
#include "flash/core/text_layout.h"

namespace flash {

kinolux::avm1::TextFieldBinding* as3::textFieldOf(const as3::Value& t) {
    DisplayObject* d = DisplayBridge::displayOf(t);
    if (!d || d->kind() != ObjectKind::EditText) return nullptr;
    return static_cast<kinolux::avm1::TextFieldBinding*>(&avm1Binding(*d));
}

namespace {

using namespace as3;
namespace avm1 = kinolux::avm1;
using P = avm1::TextFieldProperty;

enum class Type : char { Text, Number, Flag };

avm1::Value toFieldValue(Vm& vm, const Value& v, Type type) {
    switch (type) {
    case Type::Text: return v.isNullish() ? avm1::Value::null() : avm1::Value(vm.toString(v));
    case Type::Number: return avm1::Value(vm.toNumber(v));
    case Type::Flag: break;
    }
    return avm1::Value(kinolux::avm2::toBoolean(v));
}

Value fromFieldValue(const avm1::Value& v) {
    if (v.isString()) return Value(v.string());
    if (v.isNumber()) return Value(v.number());
    if (v.isBoolean()) return Value(v.boolean());
    return Value::null();
}

template <P Property>
Value propertyGetter(Vm&, const Value& t, Args) {
    auto* field = textFieldOf(t);
    return field ? fromFieldValue(field->textProperty(Property)) : Value::null();
}

template <P Property, Type Kind>
Value propertySetter(Vm& vm, const Value& t, Args a) {
    if (auto* field = textFieldOf(t)) field->setTextProperty(Property, toFieldValue(vm, arg(a, 0), Kind));
    return Value();
}

// Text the field already has changes nothing: the formats it was set in
// stay, and so do edits made since.
template <P Property>
bool unchanged(avm1::TextFieldBinding& field, const avm1::Value& v) {
    const avm1::Value now = field.textProperty(Property);
    return v.isString() && now.isString() && v.string() == now.string();
}

// Every field is an HTML one to these scripts.
Value htmlTextGetter(Vm&, const Value& t, Args) {
    auto* field = textFieldOf(t);
    if (!field) return Value::null();
    field->setTextProperty(P::Html, avm1::Value(true));
    return fromFieldValue(field->textProperty(P::HtmlText));
}

// New HTML takes the styles of the field's sheet as they are now, as they
// may have changed since the sheet was set.
Value htmlTextSetter(Vm& vm, const Value& t, Args a) {
    auto* field = textFieldOf(t);
    if (!field) return Value();
    field->setTextProperty(P::Html, avm1::Value(true));
    const avm1::Value v = toFieldValue(vm, arg(a, 0), Type::Text);
    if (unchanged<P::HtmlText>(*field, v)) return Value();
    restyleFromSheet(vm, t);
    field->setTextProperty(P::HtmlText, v);
    return Value();
}

// To these scripts each \n of plain text is a line break of its own, so
// \r\n is two of them.
String withOwnLineBreaks(const String& text) {
    std::u16string out(text.view());
    std::replace(out.begin(), out.end(), u'\n', u'\r');
    return String(out);
}

// A field with a style sheet reads any text it is given as HTML.
Value textSetter(Vm& vm, const Value& t, Args a) {
    auto* field = textFieldOf(t);
    if (field && static_cast<const EditText*>(DisplayBridge::displayOf(t))->hasStyleSheet())
        return htmlTextSetter(vm, t, a);
    const Value text = arg(a, 0).isNullish() ? arg(a, 0) : Value(withOwnLineBreaks(vm.toString(arg(a, 0))));
    const avm1::Value v = toFieldValue(vm, text, Type::Text);
    if (field && !unchanged<P::Text>(*field, v)) field->setTextProperty(P::Text, v);
    return Value();
}

// ---- TextFormat: its fields are null until set ----

constexpr std::u16string_view kTextFields[] = {u"font", u"url", u"target", u"align"};
constexpr std::u16string_view kNumberFields[] = {u"size",   u"color",   u"leftMargin", u"rightMargin",
                                                 u"indent", u"leading", u"blockIndent", u"letterSpacing"};
constexpr std::u16string_view kFlagFields[] = {u"bold", u"italic", u"underline", u"bullet", u"kerning"};
// The constructor's parameters, in order.
constexpr std::u16string_view kConstructorFields[] = {u"font",   u"size",       u"color",       u"bold",  u"italic",
                                                      u"underline", u"url",     u"target",      u"align", u"leftMargin",
                                                      u"rightMargin", u"indent", u"leading"};

Value formatInit(Vm& vm, const Value& t, Args a) {
    for (auto name : kTextFields) vm.setPublic(t, name, Value::null());
    for (auto name : kNumberFields) vm.setPublic(t, name, Value::null());
    for (auto name : kFlagFields) vm.setPublic(t, name, Value::null());
    vm.setPublic(t, u"tabStops", Value::null());
    vm.setPublic(t, u"display", Value(String(u"block")));
    for (std::size_t i = 0; i < a.size() && i < std::size(kConstructorFields); ++i)
        vm.setPublic(t, kConstructorFields[i], a[i]);
    return Value();
}

// More stops than any line could use are not read.
constexpr double kMaxTabStops = 1000;

template <typename T, typename Read>
void readField(Vm& vm, const Value& format, std::u16string_view name, std::optional<T>& out, Read read) {
    Value v = vm.getPublic(format, name);
    if (!v.isNullish()) out = read(v);
}

avm1::TextFormat formatOf(Vm& vm, const Value& format) {
    avm1::TextFormat f;
    if (format.isNullish()) return f;
    auto text = [&](const Value& v) { return vm.toString(v); };
    auto number = [&](const Value& v) { return vm.toNumber(v); };
    auto flag = [](const Value& v) { return kinolux::avm2::toBoolean(v); };
    readField(vm, format, u"font", f.font, text);
    readField(vm, format, u"url", f.url, text);
    readField(vm, format, u"target", f.target, text);
    readField(vm, format, u"align", f.align, text);
    readField(vm, format, u"size", f.size, number);
    readField(vm, format, u"color", f.color, number);
    readField(vm, format, u"leftMargin", f.leftMargin, number);
    readField(vm, format, u"rightMargin", f.rightMargin, number);
    readField(vm, format, u"indent", f.indent, number);
    readField(vm, format, u"leading", f.leading, number);
    readField(vm, format, u"blockIndent", f.blockIndent, number);
    readField(vm, format, u"letterSpacing", f.letterSpacing, number);
    readField(vm, format, u"bold", f.bold, flag);
    readField(vm, format, u"italic", f.italic, flag);
    readField(vm, format, u"underline", f.underline, flag);
    readField(vm, format, u"bullet", f.bullet, flag);
    readField(vm, format, u"kerning", f.kerning, flag);
    readField(vm, format, u"tabStops", f.tabStops, [&](const Value& v) {
        std::vector<double> stops;
        const double length = vm.toNumber(vm.getPublic(v, u"length"));
        for (double i = 0; i < length && i < kMaxTabStops; ++i)
            stops.push_back(vm.toNumber(vm.getProperty(v, kinolux::avm2::Multiname::publicName(vm.toString(Value(i))))));
        return stops;
    });
    return f;
}

template <typename T>
void writeField(Vm& vm, const Value& format, std::u16string_view name, const std::optional<T>& v) {
    if (v) vm.setPublic(format, name, Value(*v));
}

}  // namespace

Value as3::formatValue(Vm& vm, const kinolux::avm1::TextFormat& f) {
    Value format(vm.construct(vm.findClass(u"flash.text.TextFormat"), {}));
    writeField(vm, format, u"font", f.font);
    writeField(vm, format, u"url", f.url);
    writeField(vm, format, u"target", f.target);
    writeField(vm, format, u"align", f.align);
    writeField(vm, format, u"size", f.size);
    writeField(vm, format, u"color", f.color);
    writeField(vm, format, u"leftMargin", f.leftMargin);
    writeField(vm, format, u"rightMargin", f.rightMargin);
    writeField(vm, format, u"indent", f.indent);
    writeField(vm, format, u"leading", f.leading);
    writeField(vm, format, u"blockIndent", f.blockIndent);
    writeField(vm, format, u"letterSpacing", f.letterSpacing);
    writeField(vm, format, u"bold", f.bold);
    writeField(vm, format, u"italic", f.italic);
    writeField(vm, format, u"underline", f.underline);
    writeField(vm, format, u"bullet", f.bullet);
    writeField(vm, format, u"kerning", f.kerning);
    if (f.tabStops) {
        std::vector<Value> stops(f.tabStops->begin(), f.tabStops->end());
        vm.setPublic(format, u"tabStops", Value(vm.newArray(std::move(stops))));
    }
    return format;
}

namespace {

// A character index argument; -1 (or none) means the whole text.
int indexArgument(Vm& vm, Args a, std::size_t i) {
    double n = i < a.size() ? vm.toNumber(a[i]) : -1;
    return std::isfinite(n) && n >= 0 && n < 1e9 ? int(n) : -1;
}

Value getTextFormat(Vm& vm, const Value& t, Args a) {
    auto* field = textFieldOf(t);
    return formatValue(vm, field ? field->textFormat(indexArgument(vm, a, 0), indexArgument(vm, a, 1)) : avm1::TextFormat{});
}
Value setTextFormat(Vm& vm, const Value& t, Args a) {
    if (auto* field = textFieldOf(t))
        field->setTextFormat(indexArgument(vm, a, 1), indexArgument(vm, a, 2), formatOf(vm, arg(a, 0)));
    return Value();
}
Value defaultFormatGetter(Vm& vm, const Value& t, Args) {
    auto* field = textFieldOf(t);
    return formatValue(vm, field ? field->newTextFormat() : avm1::TextFormat{});
}
Value defaultFormatSetter(Vm& vm, const Value& t, Args a) {
    if (auto* field = textFieldOf(t)) field->setNewTextFormat(formatOf(vm, arg(a, 0)));
    return Value();
}
Value appendText(Vm& vm, const Value& t, Args a) {
    if (auto* field = textFieldOf(t)) field->replaceText(-1, -1, withOwnLineBreaks(vm.toString(arg(a, 0))));
    return Value();
}
Value replaceText(Vm& vm, const Value& t, Args a) {
    if (auto* field = textFieldOf(t))
        field->replaceText(indexArgument(vm, a, 0), indexArgument(vm, a, 1), withOwnLineBreaks(vm.toString(arg(a, 2))));
    return Value();
}

// The text in runs of one format, between two indexes (the whole text by
// default), each a TextRun of its range and format.
Value getTextRuns(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = DisplayBridge::displayOf(t);
    auto* field = textFieldOf(t);
    std::vector<Value> runs;
    if (!d || !field) return Value(vm.newArray({}));
    const RichText& text = static_cast<const EditText&>(*d).content;
    const int begin = std::max(0, indexArgument(vm, a, 0));
    const int end = a.size() > 1 && indexArgument(vm, a, 1) >= 0 ? std::min(indexArgument(vm, a, 1), text.size()) : text.size();
    for (int runBegin = begin; runBegin < end;) {
        int runEnd = runBegin + 1;
        while (runEnd < end && text.styleAt(runEnd) == text.styleAt(runBegin)) ++runEnd;
        Value args[] = {Value(double(runBegin)), Value(double(runEnd)),
                        formatValue(vm, field->textFormat(runBegin, runEnd))};
        runs.emplace_back(vm.construct(vm.findClass(u"flash.text.TextRun"), args));
        runBegin = runEnd;
    }
    return Value(vm.newArray(std::move(runs)));
}

Value textRunInit(Vm& vm, const Value& t, Args a) {
    vm.setPublic(t, u"beginIndex", arg(a, 0));
    vm.setPublic(t, u"endIndex", arg(a, 1));
    vm.setPublic(t, u"textFormat", arg(a, 2));
    return Value();
}

// A line's metrics as the field lays it out, in pixels.
Value getLineMetrics(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = DisplayBridge::displayOf(t);
    double line = vm.toNumber(arg(a, 0));
    if (!d || d->kind() != ObjectKind::EditText || !(line >= 0)) throwOutOfBounds(vm);
    const TextLayout layout = static_cast<const EditText&>(*d).layout();
    if (line >= double(layout.lines.size())) throwOutOfBounds(vm);
    const LayoutLine& l = layout.lines[std::size_t(line)];
    Value args[] = {Value((kTextGutter + l.left) / 20.0),
                    Value(l.width / 20.0),
                    Value(l.height() / 20.0),
                    Value(l.ascent / 20.0),
                    Value(l.descent / 20.0),
                    Value(l.leading / 20.0)};
    return Value(vm.construct(vm.findClass(u"flash.text.TextLineMetrics"), args));
}

constexpr std::u16string_view kLineMetricsFields[] = {u"x", u"width", u"height", u"ascent", u"descent", u"leading"};

Value lineMetricsInit(Vm& vm, const Value& t, Args a) {
    for (std::size_t i = 0; i < std::size(kLineMetricsFields); ++i) vm.setPublic(t, kLineMetricsFields[i], arg(a, i));
    return Value();
}

// ---- Font: a class linked to an embedded font names it ----

const Character* embeddedFont(Vm& vm, const Value& t) {
    DisplayBridge* b = DisplayBridge::of(vm);
    if (!b || !t.object()) return nullptr;
    for (Class* c = t.object()->cls; c; c = c->super)
        if (const Character* character = b->symbolCharacter(c); character && character->as<swf::DefineFont>())
            return character;
    return nullptr;
}
Value fontName(Vm& vm, const Value& t, Args) {
    const Character* font = embeddedFont(vm, t);
    return font ? Value(String::fromUtf8(font->as<swf::DefineFont>()->name)) : Value::null();
}
Value fontType(Vm& vm, const Value& t, Args) {
    return Value(String(embeddedFont(vm, t) ? u"embedded" : u"device"));
}
Value fontStyle(Vm& vm, const Value& t, Args) {
    const Character* font = embeddedFont(vm, t);
    if (!font) return Value::null();
    const swf::FontFlags& flags = font->as<swf::DefineFont>()->flags;
    if (flags.bold) return Value(String(flags.italic ? u"boldItalic" : u"bold"));
    return Value(String(flags.italic ? u"italic" : u"regular"));
}
// Whether the font draws every character of the text; a device font is
// taken to draw them all.
Value hasGlyphs(Vm& vm, const Value& t, Args a) {
    const Character* font = embeddedFont(vm, t);
    const QString text = fromScriptString(vm.toString(arg(a, 0)));
    if (!font) return Value(true);
    GlyphCache glyphs;
    for (char32_t code : text.toUcs4())
        if (glyphs.indexOf(*font, code) < 0) return Value(false);
    return Value(true);
}
Value noFonts(Vm& vm, const Value&, Args) { return Value(vm.newArray({})); }

// ---- StaticText: only the timeline places one ----

Value staticTextInit(Vm& vm, const Value& t, Args) {
    if (!DisplayBridge::displayOf(t))
        vm.throwError(ErrorType::ArgumentError, "Error #2012: StaticText$ class cannot be instantiated.", 2012);
    return Value();
}

Value staticText(Vm&, const Value& t, Args) {
    const DisplayObject* d = DisplayBridge::displayOf(t);
    const QString text = d ? staticTextOf(*d) : QString();
    return text.isEmpty() ? Value::null() : Value(toScriptString(text));
}

}  // namespace

void installStaticText(Vm& vm, Class* staticTextClass) {
    vm.defineConstructor(staticTextClass, staticTextInit);
    vm.defineGetter(staticTextClass, u"text", staticText);
}

void installTextClasses(Vm& vm, Class* textField) {
    Class* format = vm.defineClass(u"flash.text", u"TextFormat", vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(format, formatInit);
    Class* font = vm.defineClass(u"flash.text", u"Font", vm.findClass(u"Object"), nullptr);
    vm.defineGetter(font, u"fontName", fontName);
    vm.defineGetter(font, u"fontType", fontType);
    vm.defineGetter(font, u"fontStyle", fontStyle);
    vm.defineTraitMethod(font, u"hasGlyphs", hasGlyphs);
    vm.defineMethod(font, u"enumerateFonts", noFonts, true);
    vm.defineMethod(font, u"registerFont", nothing, true);
    Class* run = vm.defineClass(u"flash.text", u"TextRun", vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(run, textRunInit);
    Class* metrics = vm.defineClass(u"flash.text", u"TextLineMetrics", vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(metrics, lineMetricsInit);

    vm.defineGetter(textField, u"text", propertyGetter<P::Text>, textSetter);
    vm.defineGetter(textField, u"htmlText", htmlTextGetter, htmlTextSetter);
    vm.defineGetter(textField, u"length", propertyGetter<P::Length>);
    vm.defineGetter(textField, u"textWidth", propertyGetter<P::TextWidth>);
    vm.defineGetter(textField, u"textHeight", propertyGetter<P::TextHeight>);
    vm.defineGetter(textField, u"textColor", propertyGetter<P::TextColor>, propertySetter<P::TextColor, Type::Number>);
    vm.defineGetter(textField, u"autoSize", propertyGetter<P::AutoSize>, propertySetter<P::AutoSize, Type::Text>);
    vm.defineGetter(textField, u"background", propertyGetter<P::Background>, propertySetter<P::Background, Type::Flag>);
    vm.defineGetter(textField, u"backgroundColor", propertyGetter<P::BackgroundColor>,
                    propertySetter<P::BackgroundColor, Type::Number>);
    vm.defineGetter(textField, u"border", propertyGetter<P::Border>, propertySetter<P::Border, Type::Flag>);
    vm.defineGetter(textField, u"borderColor", propertyGetter<P::BorderColor>, propertySetter<P::BorderColor, Type::Number>);
    vm.defineGetter(textField, u"multiline", propertyGetter<P::Multiline>, propertySetter<P::Multiline, Type::Flag>);
    vm.defineGetter(textField, u"wordWrap", propertyGetter<P::WordWrap>, propertySetter<P::WordWrap, Type::Flag>);
    vm.defineGetter(textField, u"selectable", propertyGetter<P::Selectable>, propertySetter<P::Selectable, Type::Flag>);
    vm.defineGetter(textField, u"type", propertyGetter<P::Type>, propertySetter<P::Type, Type::Text>);
    vm.defineGetter(textField, u"maxChars", propertyGetter<P::MaxChars>, propertySetter<P::MaxChars, Type::Number>);
    vm.defineGetter(textField, u"restrict", propertyGetter<P::Restrict>, propertySetter<P::Restrict, Type::Text>);
    vm.defineGetter(textField, u"scrollV", propertyGetter<P::Scroll>, propertySetter<P::Scroll, Type::Number>);
    vm.defineGetter(textField, u"scrollH", propertyGetter<P::HScroll>, propertySetter<P::HScroll, Type::Number>);
    vm.defineGetter(textField, u"maxScrollV", propertyGetter<P::MaxScroll>);
    vm.defineGetter(textField, u"maxScrollH", propertyGetter<P::MaxHScroll>);
    vm.defineGetter(textField, u"bottomScrollV", propertyGetter<P::BottomScroll>);
    vm.defineGetter(textField, u"embedFonts", propertyGetter<P::EmbedFonts>, propertySetter<P::EmbedFonts, Type::Flag>);
    vm.defineGetter(textField, u"displayAsPassword", propertyGetter<P::Password>, propertySetter<P::Password, Type::Flag>);
    vm.defineGetter(textField, u"condenseWhite", propertyGetter<P::CondenseWhite>,
                    propertySetter<P::CondenseWhite, Type::Flag>);
    vm.defineGetter(textField, u"antiAliasType", propertyGetter<P::AntiAliasType>, nothing);
    vm.defineGetter(textField, u"gridFitType", propertyGetter<P::GridFitType>, nothing);
    vm.defineGetter(textField, u"defaultTextFormat", defaultFormatGetter, defaultFormatSetter);
    vm.defineTraitMethod(textField, u"getTextFormat", getTextFormat);
    vm.defineTraitMethod(textField, u"setTextFormat", setTextFormat);
    vm.defineTraitMethod(textField, u"appendText", appendText);
    vm.defineTraitMethod(textField, u"getTextRuns", getTextRuns);
    vm.defineTraitMethod(textField, u"replaceText", replaceText);
    vm.defineTraitMethod(textField, u"getLineMetrics", getLineMetrics);
    installTextFieldQueries(vm, textField);
    installStyleSheet(vm, textField);
}

}  // namespace flash
