// TextField, TextFormat and Button: accessors over the bindings.
#include "flash/avm1/builtins/as_broadcaster.h"
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/timeline_actions.h"

namespace kinolux::avm1::builtins {

namespace {

enum class Kind : std::uint8_t { Text, Number, Boolean, ReadOnly };

struct FieldProperty {
    std::u16string_view name;
    TextFieldProperty property;
    Kind kind;
};

constexpr FieldProperty kFieldProperties[] = {
    {u"text", TextFieldProperty::Text, Kind::Text},
    {u"htmlText", TextFieldProperty::HtmlText, Kind::Text},
    {u"html", TextFieldProperty::Html, Kind::Boolean},
    {u"textColor", TextFieldProperty::TextColor, Kind::Number},
    {u"textWidth", TextFieldProperty::TextWidth, Kind::ReadOnly},
    {u"textHeight", TextFieldProperty::TextHeight, Kind::ReadOnly},
    {u"length", TextFieldProperty::Length, Kind::ReadOnly},
    {u"autoSize", TextFieldProperty::AutoSize, Kind::Text},
    {u"background", TextFieldProperty::Background, Kind::Boolean},
    {u"backgroundColor", TextFieldProperty::BackgroundColor, Kind::Number},
    {u"border", TextFieldProperty::Border, Kind::Boolean},
    {u"borderColor", TextFieldProperty::BorderColor, Kind::Number},
    {u"multiline", TextFieldProperty::Multiline, Kind::Boolean},
    {u"wordWrap", TextFieldProperty::WordWrap, Kind::Boolean},
    {u"selectable", TextFieldProperty::Selectable, Kind::Boolean},
    {u"type", TextFieldProperty::Type, Kind::Text},
    {u"maxChars", TextFieldProperty::MaxChars, Kind::Number},
    {u"restrict", TextFieldProperty::Restrict, Kind::Text},
    {u"variable", TextFieldProperty::Variable, Kind::Text},
    {u"scroll", TextFieldProperty::Scroll, Kind::Number},
    {u"maxscroll", TextFieldProperty::MaxScroll, Kind::ReadOnly},
    {u"hscroll", TextFieldProperty::HScroll, Kind::Number},
    {u"maxhscroll", TextFieldProperty::MaxHScroll, Kind::ReadOnly},
    {u"bottomScroll", TextFieldProperty::BottomScroll, Kind::ReadOnly},
    {u"embedFonts", TextFieldProperty::EmbedFonts, Kind::Boolean},
    {u"password", TextFieldProperty::Password, Kind::Boolean},
    {u"condenseWhite", TextFieldProperty::CondenseWhite, Kind::Boolean},
    {u"antiAliasType", TextFieldProperty::AntiAliasType, Kind::Text},
    {u"sharpness", TextFieldProperty::Sharpness, Kind::Number},
    {u"thickness", TextFieldProperty::Thickness, Kind::Number},
    {u"gridFitType", TextFieldProperty::GridFitType, Kind::Text},
    {u"mouseWheelEnabled", TextFieldProperty::MouseWheelEnabled, Kind::Boolean},
};

TextFieldBinding* thisTextField(Vm& vm, const Value& thisValue) {
    DisplayObjectBinding* object = vm.bindingOf(thisValue);
    if (!object || object->kind() != DisplayKind::TextField) return nullptr;
    return static_cast<TextFieldBinding*>(object);
}

const FieldProperty& calledProperty(Vm& vm) {
    return kFieldProperties[static_cast<std::size_t>(vm.nativeCallee()->tag())];
}

Value getFieldProperty(Vm& vm, const Value& thisValue, Args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    return field ? field->textProperty(calledProperty(vm).property) : Value();
}

Value setFieldProperty(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (!field) return Value();
    const FieldProperty& p = calledProperty(vm);
    const Value& v = arg(args, 0);
    switch (p.kind) {
    case Kind::Text:
        if (p.property == TextFieldProperty::AutoSize && v.isBoolean()) {
            field->setTextProperty(p.property, Value(String(v.boolean() ? u"left" : u"none")));
        } else if ((p.property == TextFieldProperty::Variable || p.property == TextFieldProperty::Restrict) &&
                   v.isNullish()) {
            field->setTextProperty(p.property, Value::null());
        } else {
            field->setTextProperty(p.property, Value(vm.toString(v)));
        }
        break;
    case Kind::Number: field->setTextProperty(p.property, Value(vm.toNumber(v))); break;
    case Kind::Boolean: field->setTextProperty(p.property, Value(vm.toBoolean(v))); break;
    case Kind::ReadOnly: break;
    }
    return Value();
}

// ---- TextFormat ----

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

// setTextFormat([begin, [end,]] format)
Value setTextFormat(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (!field || args.empty()) return Value();
    const Value& format = args.back();
    if (!format.isObject()) return Value();
    int begin = args.size() > 1 ? vm.toInt32(args[0]) : -1;
    int end = args.size() > 2 ? vm.toInt32(args[1]) : (args.size() > 1 ? begin + 1 : -1);
    field->setTextFormat(begin, end, formatFromObject(vm, format.objectRef()));
    return Value();
}

Value getTextFormat(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (!field) return Value();
    int begin = !args.empty() ? vm.toInt32(args[0]) : -1;
    int end = args.size() > 1 ? vm.toInt32(args[1]) : (!args.empty() ? begin + 1 : -1);
    return Value(objectFromFormat(vm, field->textFormat(begin, end)));
}

Value setNewTextFormat(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (field && arg(args, 0).isObject()) field->setNewTextFormat(formatFromObject(vm, args[0].objectRef()));
    return Value();
}

Value getNewTextFormat(Vm& vm, const Value& thisValue, Args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    return field ? Value(objectFromFormat(vm, field->newTextFormat())) : Value();
}

Value replaceText(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (field && args.size() >= 3) field->replaceText(vm.toInt32(args[0]), vm.toInt32(args[1]), vm.toString(args[2]));
    return Value();
}

Value replaceSel(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (field && !args.empty()) field->replaceText(-1, -1, vm.toString(args[0]));
    return Value();
}

Value removeTextField(Vm& vm, const Value& thisValue, Args) {
    if (TextFieldBinding* field = thisTextField(vm, thisValue)) removeByScript(*field);
    return Value();
}

Value emptyArray(Vm& vm, const Value&, Args) { return Value(ObjectRef(vm.newArray())); }

constexpr Member kTextFieldPrototypeMembers[] = {
    method(u"setTextFormat", setTextFormat),
    method(u"getTextFormat", getTextFormat),
    method(u"setNewTextFormat", setNewTextFormat),
    method(u"getNewTextFormat", getNewTextFormat),
    method(u"replaceText", replaceText),
    method(u"replaceSel", replaceSel),
    method(u"removeTextField", removeTextField),
};

}  // namespace

void installButtonAndTextField(Vm& vm) {
    Object& global = *vm.global();

    ObjectRef formatProto = vm.newObject();
    formatProto->setInstanceKind(ObjectKind::TextFormat);
    vm.protos().textFormat = formatProto;
    defineClass(vm, global, u"TextFormat", textFormatConstruct, textFormatConstruct, formatProto);

    ObjectRef fieldProto = vm.newObject();
    vm.protos().textField = fieldProto;
    Ref<FunctionObject> field = defineClass(vm, global, u"TextField", nullptr, nullptr, fieldProto);
    vm.defineMethod(*field, u"getFontList", emptyArray);
    Value broadcaster = global.ownValue(String(u"AsBroadcaster"), true);
    if (broadcaster.isObject()) initializeBroadcaster(vm, *fieldProto, *broadcaster.object());
    for (std::size_t i = 0; i < std::size(kFieldProperties); ++i) {
        Ref<FunctionObject> getter = vm.newNative(getFieldProperty);
        getter->setTag(static_cast<int>(i));
        Ref<FunctionObject> setter;
        if (kFieldProperties[i].kind != Kind::ReadOnly) {
            setter = vm.newNative(setFieldProperty);
            setter->setTag(static_cast<int>(i));
        }
        fieldProto->defineAccessor(String(kFieldProperties[i].name), ObjectRef(getter), ObjectRef(setter), kHidden);
    }
    defineMembers(vm, *fieldProto, kTextFieldPrototypeMembers);
    defineDisplayAccessors(vm, *fieldProto);

    ObjectRef buttonProto = vm.newObject();
    vm.protos().button = buttonProto;
    defineClass(vm, global, u"Button", nullptr, nullptr, buttonProto);
    defineDisplayAccessors(vm, *buttonProto);
}

}  // namespace kinolux::avm1::builtins
