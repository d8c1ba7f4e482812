// TextFormat: an object that keeps its format fields itself, behind
// accessors that coerce what scripts store the way the player does, and
// its conversion to and from the host's text format for TextField.
#include <algorithm>
#include <climits>
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/builtins/text_format_object.h"

namespace kinolux::avm1::builtins {

namespace {

// Font names longer than this are cut.
constexpr std::size_t kMaxFontName = 64;

constexpr std::u16string_view kAligns[] = {u"left", u"center", u"right", u"justify"};

TextFormatObject* thisFormat(const Value& thisValue) {
    return thisOfKind<TextFormatObject>(thisValue, ObjectKind::TextFormat);
}

// A whole number as the player's integer conversion makes it: what does not
// fit (NaN and the infinities included) becomes the smallest integer.
double wholeOrMin(double v) {
    return std::isfinite(v) && v >= INT_MIN && v <= INT_MAX ? v : double(INT_MIN);
}

// Movies of version 8 round to the nearest whole number (halves to even);
// older ones cut the fraction off.
double settledInteger(Vm& vm, double v) {
    return wholeOrMin(vm.swfVersion() >= 8 ? std::nearbyint(v) : std::trunc(v));
}

double truncatedInt32(Vm& vm, const Value& v) { return double(vm.toInt32(v)); }

double colorOf(Vm& vm, const Value& v) { return double(std::uint32_t(vm.toInt32(v))); }

String fontName(String name) {
    return name.size() > kMaxFontName ? String(std::u16string_view(name.data(), kMaxFontName)) : name;
}

std::optional<String> alignOf(Vm& vm, const Value& v, const std::optional<String>& current) {
    String name = vm.toString(v);
    for (std::u16string_view align : kAligns)
        if (name.equalsIgnoreCase(align)) return String(align);
    return current;
}

std::vector<double> tabStopsOf(Vm& vm, const Value& v) {
    std::vector<double> stops;
    if (!v.isObject()) return stops;
    ObjectRef array = v.objectRef();
    std::uint32_t n = std::min<std::uint32_t>(lengthOf(vm, array), 1024);
    for (std::uint32_t i = 0; i < n; ++i) stops.push_back(wholeOrMin(std::nearbyint(vm.toNumber(elementOf(vm, array, i)))));
    return stops;
}

enum class Field : std::uint8_t {
    Font, Size, Color, Bold, Italic, Underline, Url, Target, Align, LeftMargin, RightMargin, Indent,
    Leading, BlockIndent, TabStops, Bullet, Kerning, LetterSpacing, Display,
};

// The fields in the order the constructor takes them (the first thirteen)
// and for..in would list them.
constexpr std::u16string_view kFieldNames[] = {
    u"font", u"size", u"color", u"bold", u"italic", u"underline", u"url", u"target", u"align",
    u"leftMargin", u"rightMargin", u"indent", u"leading", u"blockIndent", u"tabStops", u"bullet",
    u"kerning", u"letterSpacing", u"display",
};
constexpr std::size_t kConstructorFields = 13;

Value optionalValue(const std::optional<String>& v) { return v ? Value(*v) : Value::null(); }
Value optionalValue(const std::optional<double>& v) { return v ? Value(*v) : Value::null(); }
Value optionalValue(const std::optional<bool>& v) { return v ? Value(*v) : Value::null(); }

Value fieldValue(Vm& vm, const TextFormatObject& self, Field field) {
    const TextFormat& f = self.format;
    switch (field) {
    case Field::Font: return optionalValue(f.font);
    case Field::Size: return optionalValue(f.size);
    case Field::Color: return optionalValue(f.color);
    case Field::Bold: return optionalValue(f.bold);
    case Field::Italic: return optionalValue(f.italic);
    case Field::Underline: return optionalValue(f.underline);
    case Field::Url: return optionalValue(f.url);
    case Field::Target: return optionalValue(f.target);
    case Field::Align: return optionalValue(f.align);
    case Field::LeftMargin: return optionalValue(f.leftMargin);
    case Field::RightMargin: return optionalValue(f.rightMargin);
    case Field::Indent: return optionalValue(f.indent);
    case Field::Leading: return optionalValue(f.leading);
    case Field::BlockIndent: return optionalValue(f.blockIndent);
    case Field::Bullet: return optionalValue(f.bullet);
    case Field::Kerning: return optionalValue(f.kerning);
    case Field::LetterSpacing: return optionalValue(f.letterSpacing);
    case Field::Display: return Value(self.display);
    case Field::TabStops:
        if (!f.tabStops) return Value::null();
        return Value(ObjectRef(vm.newArray(std::vector<Value>(f.tabStops->begin(), f.tabStops->end()))));
    }
    return Value();
}

// `fromConstructor`: the constructor cuts numbers to integers and takes
// them as they are; the setters round or cut by version and keep margins
// (and, before version 8, indents and leading) from going below zero.
void storeField(Vm& vm, TextFormatObject& self, Field field, const Value& v, bool fromConstructor) {
    TextFormat& f = self.format;
    const bool none = v.isNullish();
    auto text = [&](std::optional<String>& out) { out = none ? std::nullopt : std::optional(vm.toString(v)); };
    auto flag = [&](std::optional<bool>& out) { out = none ? std::nullopt : std::optional(vm.toBoolean(v)); };
    auto integer = [&](std::optional<double>& out, bool neverNegative) {
        if (none) {
            out.reset();
        } else if (fromConstructor) {
            out = truncatedInt32(vm, v);
        } else {
            double n = vm.toNumber(v);
            if (neverNegative) n = std::fmax(0.0, n);
            out = settledInteger(vm, n);
        }
    };
    const bool clampIndents = vm.swfVersion() < 8;
    switch (field) {
    case Field::Font:
        text(f.font);
        if (f.font) f.font = fontName(*f.font);
        break;
    case Field::Size: integer(f.size, false); break;
    case Field::Color: f.color = none ? std::nullopt : std::optional(colorOf(vm, v)); break;
    case Field::Bold: flag(f.bold); break;
    case Field::Italic: flag(f.italic); break;
    case Field::Underline: flag(f.underline); break;
    case Field::Url: text(f.url); break;
    case Field::Target: text(f.target); break;
    case Field::Align:
        // Neither nothing nor an unknown name changes the alignment.
        if (!none) f.align = alignOf(vm, v, f.align);
        break;
    case Field::LeftMargin: integer(f.leftMargin, true); break;
    case Field::RightMargin: integer(f.rightMargin, true); break;
    case Field::Indent: integer(f.indent, clampIndents); break;
    case Field::Leading: integer(f.leading, clampIndents); break;
    case Field::BlockIndent: integer(f.blockIndent, clampIndents); break;
    case Field::Bullet: flag(f.bullet); break;
    case Field::Kerning: flag(f.kerning); break;
    case Field::LetterSpacing: f.letterSpacing = none ? std::nullopt : std::optional(vm.toNumber(v)); break;
    case Field::Display:
        if (!none) self.display = vm.toString(v);
        break;
    case Field::TabStops: f.tabStops = none ? std::nullopt : std::optional(tabStopsOf(vm, v)); break;
    }
}

Field calledField(Vm& vm) { return static_cast<Field>(vm.nativeCallee()->tag()); }

Value getField(Vm& vm, const Value& thisValue, Args) {
    TextFormatObject* self = thisFormat(thisValue);
    return self ? fieldValue(vm, *self, calledField(vm)) : Value();
}

Value setField(Vm& vm, const Value& thisValue, Args args) {
    if (TextFormatObject* self = thisFormat(thisValue)) storeField(vm, *self, calledField(vm), arg(args, 0), false);
    return Value();
}

Value textFormatConstruct(Vm& vm, const Value& thisValue, Args args) {
    TextFormatObject* self = thisFormat(thisValue);
    if (!self) return thisValue;
    for (std::size_t i = 0; i < kConstructorFields && i < args.size(); ++i)
        storeField(vm, *self, static_cast<Field>(i), args[i], true);
    return thisValue;
}

// getTextExtent(text[, width]): the size the text takes in this format,
// laid out by the host; with a width, wrapped to it.
Value getTextExtent(Vm& vm, const Value& thisValue, Args args) {
    TextFormatObject* self = thisFormat(thisValue);
    if (!self || args.empty()) return Value();
    std::optional<double> width;
    if (args.size() > 1 && !args[1].isUndefined()) width = vm.toNumber(args[1]);
    TextExtent e = vm.host().measureText(self->format, vm.toString(args[0]), width);
    ObjectRef o = vm.newObject();
    auto put = [&](std::u16string_view name, double v) { o->defineValue(String(name), Value(v)); };
    put(u"ascent", e.ascent);
    put(u"descent", e.descent);
    put(u"width", e.width);
    put(u"height", e.height);
    put(u"textFieldHeight", e.textFieldHeight);
    put(u"textFieldWidth", e.textFieldWidth);
    return Value(o);
}

constexpr Member kFormatMembers[] = {
    method(u"getTextExtent", getTextExtent),
};

}  // namespace

TextFormat formatFromObject(Vm& vm, const ObjectRef& o) {
    if (o && o->kind() == ObjectKind::TextFormat) return static_cast<TextFormatObject*>(o.get())->format;
    // Any other object counts by what its fields convert to.
    ObjectRef made = vm.createInstance(Value(vm.protos().textFormat));
    TextFormatObject* self = thisFormat(Value(made));
    if (!self) return {};
    for (std::size_t i = 0; i < std::size(kFieldNames); ++i) {
        Value v = vm.get(o, String(kFieldNames[i]));
        if (!v.isUndefined()) storeField(vm, *self, static_cast<Field>(i), v, false);
    }
    return self->format;
}

ObjectRef objectFromFormat(Vm& vm, const TextFormat& f) {
    ObjectRef o = vm.createInstance(Value(vm.protos().textFormat));
    if (TextFormatObject* self = thisFormat(Value(o))) self->format = f;
    return o;
}

ObjectRef makeTextFormat(Vm& vm, const Value& proto) {
    return ObjectRef(vm.heap().make<TextFormatObject>(proto));
}

void installTextFormat(Vm& vm) {
    ObjectRef proto = vm.newObject();
    proto->setInstanceKind(ObjectKind::TextFormat);
    vm.protos().textFormat = proto;
    defineClass(vm, *vm.global(), u"TextFormat", textFormatConstruct, textFormatConstruct, proto);
    for (std::size_t i = 0; i < std::size(kFieldNames); ++i)
        defineMember(vm, *proto, accessor(kFieldNames[i], getField, setField, PropertyFlag::DontDelete, static_cast<int>(i)));
    defineMembers(vm, *proto, kFormatMembers);
}

}  // namespace kinolux::avm1::builtins
