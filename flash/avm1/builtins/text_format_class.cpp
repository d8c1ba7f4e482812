// TextFormat: a plain object of format fields, and its conversion to and
// from the host's text format, for TextField's format methods.
#include <algorithm>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

constexpr std::u16string_view kFormatFields[] = {
    u"font", u"size", u"color", u"bold", u"italic", u"underline", u"url", u"target", u"align",
    u"leftMargin", u"rightMargin", u"indent", u"leading", u"blockIndent", u"bullet", u"tabStops",
    u"kerning", u"letterSpacing",
};

Value textFormatConstruct(Vm&, const Value& thisValue, Args args) {
    ObjectRef self = thisValue.isObject() ? thisValue.objectRef() : nullptr;
    if (!self) return thisValue;
    // The constructor takes the first thirteen fields in order; the rest
    // start null.
    for (std::size_t i = 0; i < std::size(kFormatFields); ++i) {
        Value v = i < 13 && i < args.size() ? args[i] : Value::null();
        if (v.isUndefined()) v = Value::null();
        self->defineValue(kFormatFields[i], v);
    }
    return thisValue;
}

}  // namespace

TextFormat formatFromObject(Vm& vm, const ObjectRef& o) {
    TextFormat f;
    auto get = [&](const char16_t* name) { return vm.get(o, String(name)); };
    auto text = [&](const char16_t* name, std::optional<String>& out) {
        Value v = get(name);
        if (!v.isNullish()) out = vm.toString(v);
    };
    auto number = [&](const char16_t* name, std::optional<double>& out) {
        Value v = get(name);
        if (!v.isNullish()) out = vm.toNumber(v);
    };
    auto flag = [&](const char16_t* name, std::optional<bool>& out) {
        Value v = get(name);
        if (!v.isNullish()) out = vm.toBoolean(v);
    };
    text(u"font", f.font);
    text(u"url", f.url);
    text(u"target", f.target);
    text(u"align", f.align);
    number(u"size", f.size);
    number(u"color", f.color);
    number(u"leftMargin", f.leftMargin);
    number(u"rightMargin", f.rightMargin);
    number(u"indent", f.indent);
    number(u"leading", f.leading);
    number(u"blockIndent", f.blockIndent);
    number(u"letterSpacing", f.letterSpacing);
    flag(u"bold", f.bold);
    flag(u"italic", f.italic);
    flag(u"underline", f.underline);
    flag(u"bullet", f.bullet);
    flag(u"kerning", f.kerning);
    Value stops = get(u"tabStops");
    if (stops.isObject()) {
        std::vector<double> list;
        ObjectRef array = stops.objectRef();
        std::uint32_t n = std::min<std::uint32_t>(lengthOf(vm, array), 1024);
        for (std::uint32_t i = 0; i < n; ++i) list.push_back(vm.toNumber(elementOf(vm, array, i)));
        f.tabStops = std::move(list);
    }
    return f;
}

ObjectRef objectFromFormat(Vm& vm, const TextFormat& f) {
    ObjectRef o = vm.createInstance(Value(vm.protos().textFormat));
    textFormatConstruct(vm, Value(o), {});
    auto put = [&](const char16_t* name, Value v) { o->defineValue(String(name), std::move(v)); };
    if (f.font) put(u"font", Value(*f.font));
    if (f.url) put(u"url", Value(*f.url));
    if (f.target) put(u"target", Value(*f.target));
    if (f.align) put(u"align", Value(*f.align));
    if (f.size) put(u"size", Value(*f.size));
    if (f.color) put(u"color", Value(*f.color));
    if (f.leftMargin) put(u"leftMargin", Value(*f.leftMargin));
    if (f.rightMargin) put(u"rightMargin", Value(*f.rightMargin));
    if (f.indent) put(u"indent", Value(*f.indent));
    if (f.leading) put(u"leading", Value(*f.leading));
    if (f.blockIndent) put(u"blockIndent", Value(*f.blockIndent));
    if (f.letterSpacing) put(u"letterSpacing", Value(*f.letterSpacing));
    if (f.bold) put(u"bold", Value(*f.bold));
    if (f.italic) put(u"italic", Value(*f.italic));
    if (f.underline) put(u"underline", Value(*f.underline));
    if (f.bullet) put(u"bullet", Value(*f.bullet));
    if (f.kerning) put(u"kerning", Value(*f.kerning));
    if (f.tabStops) {
        std::vector<Value> stops(f.tabStops->begin(), f.tabStops->end());
        put(u"tabStops", Value(ObjectRef(vm.newArray(std::move(stops)))));
    }
    return o;
}

void installTextFormat(Vm& vm) {
    ObjectRef proto = vm.newObject();
    proto->setInstanceKind(ObjectKind::TextFormat);
    vm.protos().textFormat = proto;
    defineClass(vm, *vm.global(), u"TextFormat", textFormatConstruct, textFormatConstruct, proto);
}

}  // namespace kinolux::avm1::builtins
