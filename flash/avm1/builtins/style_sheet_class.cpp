// TextField.StyleSheet: named styles that scripts set, read, parse from CSS
// text or load from a file beside the movie, and turn into TextFormats.
// The styles live in a hidden object on the sheet, so that sheets made by
// subclasses keep theirs too.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/css_text.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/case_mapping.h"
#include "flash/avm1/number_format.h"

namespace kinolux::avm1::builtins {

namespace {

const String kStyles(u"_css");

// The sheet's own table of styles, made on first use.
ObjectRef stylesOf(Vm& vm, const ObjectRef& self) {
    Value table = self->ownValue(kStyles, true);
    if (table.isObject()) return table.objectRef();
    ObjectRef fresh = vm.newObject();
    self->defineValue(kStyles, Value(fresh), PropertyFlag::DontEnum);
    return fresh;
}

String lowerCase(const String& s) {
    std::u16string out(s.view());
    for (char16_t& c : out) c = toLowerCase(c);
    return String(out);
}

// A copy of what the script gave: its enumerable properties, as they are.
ObjectRef copyOf(Vm& vm, const ObjectRef& style) {
    ObjectRef copy = vm.newObject();
    for (const String& key : vm.enumerate(*style)) vm.set(copy, key, vm.get(style, key));
    return copy;
}

Value construct(Vm& vm, const Value& thisValue, Args) {
    if (ObjectRef self = vm.toObject(thisValue)) stylesOf(vm, self);
    return thisValue;
}

Value getStyle(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value();
    Value style = vm.get(stylesOf(vm, self), lowerCase(vm.toString(args[0])));
    if (!style.isObject()) return Value::null();
    return Value(copyOf(vm, style.objectRef()));
}

Value setStyle(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value();
    ObjectRef styles = stylesOf(vm, self);
    const String name = lowerCase(vm.toString(args[0]));
    if (arg(args, 1).isObject()) vm.set(styles, name, Value(copyOf(vm, args[1].objectRef())));
    else vm.deleteProperty(*styles, name);
    return Value();
}

Value getStyleNames(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    std::vector<Value> names;
    for (const String& key : vm.enumerate(*stylesOf(vm, self))) names.emplace_back(key);
    return Value(ObjectRef(vm.newArray(std::move(names))));
}

Value clear(Vm& vm, const Value& thisValue, Args) {
    if (ObjectRef self = vm.toObject(thisValue))
        self->defineValue(kStyles, Value(vm.newObject()), PropertyFlag::DontEnum);
    return Value();
}

// Adds the rules of CSS text to the sheet, a rule taking the place of the
// style of the same name; text that is no style sheet changes nothing.
Value parseCss(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value(false);
    auto rules = builtins::parseCss(vm.toString(args[0]).view());
    if (!rules) return Value(false);
    ObjectRef styles = stylesOf(vm, self);
    for (const CssRule& rule : *rules) {
        for (const String& selector : rule.selectors) {
            ObjectRef style = vm.newObject();
            for (const auto& [name, value] : rule.declarations) vm.set(style, name, Value(value));
            vm.set(styles, selector, Value(style));
        }
    }
    return Value(true);
}

std::u16string_view trimmed(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t' || s.front() == u'\r' || s.front() == u'\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r' || s.back() == u'\n'))
        s.remove_suffix(1);
    return s;
}

// The leading whole number of a CSS length ("12px" is 12), if any.
std::optional<double> cssNumber(std::u16string_view s) {
    s = trimmed(s);
    bool negative = !s.empty() && s.front() == u'-';
    if (negative) s.remove_prefix(1);
    double n = 0;
    std::size_t digits = 0;
    for (; digits < s.size() && s[digits] >= u'0' && s[digits] <= u'9' && digits < 9; ++digits)
        n = n * 10 + (s[digits] - u'0');
    if (!digits) return std::nullopt;
    return negative ? -n : n;
}

std::optional<double> cssColor(std::u16string_view s) {
    s = trimmed(s);
    if (s.empty() || s.front() != u'#') return std::nullopt;
    double rgb = 0;
    for (char16_t c : s.substr(1, 6)) {
        int digit = digitValue(c);
        if (digit >= 16) return std::nullopt;
        rgb = rgb * 16 + digit;
    }
    return rgb;
}

// transform(style): the TextFormat a style stands for.
Value transform(Vm& vm, const Value&, Args args) {
    if (!arg(args, 0).isObject()) return Value::null();
    ObjectRef style = args[0].objectRef();
    auto text = [&](std::u16string_view name) -> std::optional<std::u16string> {
        Value v = vm.get(style, String(name));
        if (v.isUndefined()) return std::nullopt;
        return std::u16string(trimmed(vm.toString(v).view()));
    };
    auto is = [](const std::optional<std::u16string>& v, std::u16string_view word) {
        return v && String(*v).equalsIgnoreCase(word);
    };
    TextFormat f;
    if (auto v = text(u"color")) f.color = cssColor(*v);
    if (auto v = text(u"fontFamily")) f.font = String(*v);
    if (auto v = text(u"fontSize")) f.size = cssNumber(*v);
    if (auto v = text(u"fontWeight")) f.bold = is(v, u"bold");
    if (auto v = text(u"fontStyle")) f.italic = is(v, u"italic");
    if (auto v = text(u"textDecoration")) f.underline = is(v, u"underline");
    if (auto v = text(u"textAlign")) {
        for (std::u16string_view align : {u"left", u"right", u"center", u"justify"})
            if (is(v, align)) f.align = String(align);
    }
    if (auto v = text(u"marginLeft")) f.leftMargin = cssNumber(*v);
    if (auto v = text(u"marginRight")) f.rightMargin = cssNumber(*v);
    if (auto v = text(u"textIndent")) f.indent = cssNumber(*v);
    if (auto v = text(u"leading")) f.leading = cssNumber(*v);
    if (auto v = text(u"letterSpacing")) f.letterSpacing = cssNumber(*v);
    if (auto v = text(u"kerning")) f.kerning = is(v, u"true");
    return Value(objectFromFormat(vm, f));
}

Value onData(Vm& vm, const Value& thisValue, Args args) {
    return readLoadedText(vm, thisValue, args, u"parse", true);
}

constexpr Member kSheetMembers[] = {
    method(u"getStyle", getStyle), method(u"setStyle", setStyle),   method(u"getStyleNames", getStyleNames),
    method(u"clear", clear),       method(u"transform", transform), method(u"parseCSS", parseCss),
    method(u"parse", parseCss),    method(u"load", loadText),           method(u"onData", onData),
};

}  // namespace

void installStyleSheet(Vm& vm) {
    Value textField = vm.global()->ownValue(String(u"TextField"), true);
    if (!textField.isObject()) return;
    ObjectRef proto = vm.newObject();
    Ref<FunctionObject> ctor = vm.newNative(construct, construct, proto);
    textField.object()->defineValue(u"StyleSheet", Value(ObjectRef(ctor)),
                                    PropertyFlag::DontEnum | PropertyFlag::OnlySwf7Up);
    defineMembers(vm, *proto, kSheetMembers);
}

}  // namespace kinolux::avm1::builtins
