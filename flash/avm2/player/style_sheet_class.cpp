// flash.text.StyleSheet: named styles that scripts set, read and parse from
// CSS text, and turn into TextFormats; and the sheet a TextField styles its
// HTML with. The CSS reading and the styles' meaning are the ones the older
// scripts' TextField.StyleSheet has.
#include "flash/avm1/builtins/css_text.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"
#include "flash/avm2/player/text_field_access.h"
#include "flash/core/edit_text.h"

namespace flash::as3 {
namespace {

namespace css = kinolux::avm1::builtins;

constexpr const char16_t* kStyles = u"__css";
constexpr const char16_t* kFieldSheet = u"__styleSheet";

// The sheet's table of styles by name, made on first use (a subclass's
// constructor may never reach the sheet's own).
Object* stylesOf(Vm& vm, const Value& sheet) {
    return hiddenPropertyMadeOnce(sheet, kStyles, [&] { return Value(vm.newObject()); }).object();
}

// A copy of a style: the properties a for-in loop over it lists.
Object* copyOf(Vm& vm, const Object& style) {
    Object* copy = vm.newObject();
    for (const auto& p : style.dynamic.entries())
        if (p.enumerable) copy->dynamic.set(p.name, p.value);
    return copy;
}

Value sheetInit(Vm& vm, const Value& self, Args) {
    stylesOf(vm, self);
    return Value();
}

Value getStyle(Vm& vm, const Value& self, Args a) {
    const Value* style = stylesOf(vm, self)->dynamic.get(css::styleName(vm.toString(arg(a, 0)).view()).view());
    return style && style->object() ? Value(copyOf(vm, *style->object())) : Value::null();
}

// Anything but an object takes the style away.
Value setStyle(Vm& vm, const Value& self, Args a) {
    Object* styles = stylesOf(vm, self);
    const String name = css::styleName(vm.toString(arg(a, 0)).view());
    if (Object* style = arg(a, 1).object()) styles->dynamic.set(name, Value(copyOf(vm, *style)));
    else styles->dynamic.erase(name.view());
    return Value();
}

Value styleNames(Vm& vm, const Value& self, Args) {
    std::vector<Value> names;
    for (const auto& p : stylesOf(vm, self)->dynamic.entries()) names.emplace_back(p.name);
    return Value(vm.newArray(std::move(names)));
}

Value clear(Vm& vm, const Value& self, Args) {
    setHiddenProperty(self, kStyles, Value(vm.newObject()));
    return Value();
}

// A rule takes the place of the style of its name; text that is no style
// sheet changes nothing.
Value parseCss(Vm& vm, const Value& self, Args a) {
    auto rules = css::parseCss(vm.toString(arg(a, 0)).view());
    if (!rules) return Value();
    Object* styles = stylesOf(vm, self);
    for (const css::CssRule& rule : *rules) {
        for (const String& selector : rule.selectors) {
            Object* style = vm.newObject();
            for (const auto& [name, value] : rule.declarations) style->dynamic.set(name, Value(value));
            styles->dynamic.set(selector, Value(style));
        }
    }
    return Value();
}

// What a style stands for; reading the style's properties fails as
// reading them in a script would (a Number has no "color").
css::CssFormat styleFormat(Vm& vm, const Value& style) {
    return css::formatOfStyle([&](std::u16string_view name) -> std::optional<std::u16string> {
        const Value v = vm.getPublic(style, name);
        if (v.isUndefined()) return std::nullopt;
        return std::u16string(vm.toString(v).view());
    });
}

Value transform(Vm& vm, const Value&, Args a) {
    const Value style = arg(a, 0);
    if (style.isNullish()) return Value::null();
    const css::CssFormat f = styleFormat(vm, style);
    if (f.badAlign) throwNotAccepted(vm, "align");
    Value format = formatValue(vm, f.format);
    vm.setPublic(format, u"display", f.display ? Value(*f.display) : Value::null());
    return format;
}

// The formats of a sheet's styles, by the names the HTML reader looks
// them up by.
kinolux::avm1::TextFieldBinding::StyleFormats formatsOf(Vm& vm, const Value& sheet) {
    kinolux::avm1::TextFieldBinding::StyleFormats formats;
    for (const auto& p : stylesOf(vm, sheet)->dynamic.entries())
        if (p.value.object()) formats.emplace_back(p.name, styleFormat(vm, p.value).format);
    return formats;
}

Value fieldSheet(Vm&, const Value& field, Args) { return hiddenProperty(field, kFieldSheet); }

// The sheet styles the HTML set from now on, and HTML set under a sheet
// before is read again with it; taking it away leaves the text as it is.
Value setFieldSheet(Vm& vm, const Value& field, Args a) {
    auto* binding = textFieldOf(field);
    if (!binding) return Value();
    const Value sheet = arg(a, 0).object() ? arg(a, 0) : Value::null();
    setHiddenProperty(field, kFieldSheet, sheet);
    if (sheet.object()) binding->setStyleSheet(formatsOf(vm, sheet));
    else static_cast<EditText*>(DisplayBridge::displayOf(field))->dropStyleSheet();
    return Value();
}

}  // namespace

bool restyleFromSheet(Vm& vm, const Value& field) {
    auto* binding = textFieldOf(field);
    const Value sheet = hiddenProperty(field, kFieldSheet);
    if (!binding || !sheet.object()) return false;
    binding->setStyleSheet(formatsOf(vm, sheet));
    return true;
}

void installStyleSheet(Vm& vm, Class* textField) {
    Class* sheet = vm.defineClass(u"flash.text", u"StyleSheet", vm.findClass(u"flash.events.EventDispatcher"), nullptr);
    sheet->sealed = false;
    vm.defineConstructor(sheet, sheetInit);
    vm.defineTraitMethod(sheet, u"getStyle", getStyle);
    vm.defineTraitMethod(sheet, u"setStyle", setStyle);
    vm.defineTraitMethod(sheet, u"clear", clear);
    vm.defineTraitMethod(sheet, u"parseCSS", parseCss);
    vm.defineTraitMethod(sheet, u"transform", transform);
    vm.defineGetter(sheet, u"styleNames", styleNames);
    vm.defineGetter(textField, u"styleSheet", fieldSheet, setFieldSheet);
}

}  // namespace flash::as3
