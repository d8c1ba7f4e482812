// TextField.StyleSheet: named styles that scripts set, read, parse from CSS
// text or load from a file beside the movie, and turn into TextFormats.
// The styles live in a hidden object on the sheet, so that sheets made by
// subclasses keep theirs too.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/css_text.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

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
    Value style = vm.get(stylesOf(vm, self), styleName(vm.toString(args[0]).view()));
    if (!style.isObject()) return Value::null();
    return Value(copyOf(vm, style.objectRef()));
}

Value setStyle(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value();
    ObjectRef styles = stylesOf(vm, self);
    const String name = styleName(vm.toString(args[0]).view());
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

// transform(style): the TextFormat a style stands for.
Value transform(Vm& vm, const Value&, Args args) {
    if (!arg(args, 0).isObject()) return Value::null();
    ObjectRef style = args[0].objectRef();
    const CssFormat css = formatOfStyle([&](std::u16string_view name) -> std::optional<std::u16string> {
        Value v = vm.get(style, String(name));
        if (v.isUndefined()) return std::nullopt;
        return std::u16string(vm.toString(v).view());
    });
    return Value(objectFromFormat(vm, css.format));
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
