// TextField: its properties as accessors over the host's text field, and
// its format and editing methods.
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

// The field's style sheet, as the script set it.
const String kStyleSheet(u"__styleSheet");

Value styleSheetOf(Vm& vm, const Value& thisValue) {
    ObjectRef self = vm.toObject(thisValue);
    return self ? self->ownValue(kStyleSheet, true) : Value();
}

// The formats a style sheet's styles stand for, each made by the sheet's
// own transform (which a subclass may replace); nullopt for no sheet.
std::optional<TextFieldBinding::StyleFormats> formatsOfSheet(Vm& vm, const Value& sheet) {
    if (!sheet.isObject()) return std::nullopt;
    TextFieldBinding::StyleFormats formats;
    const Value names = vm.callMethod(sheet, String(u"getStyleNames"), {});
    if (!names.isObject()) return formats;
    const ObjectRef list = names.objectRef();
    const std::uint32_t count = lengthOf(vm, list);
    for (std::uint32_t i = 0; i < count; ++i) {
        Value name = elementOf(vm, list, i);
        Value style = vm.callMethod(sheet, String(u"getStyle"), Args(&name, 1));
        if (!style.isObject()) continue;
        const Value format = vm.callMethod(sheet, String(u"transform"), Args(&style, 1));
        if (format.isObject()) formats.emplace_back(vm.toString(name), formatFromObject(vm, format.objectRef()));
    }
    return formats;
}

// styleSheet: the sheet styles the HTML the field shows now and is given
// from now on; anything but an object takes the sheet away.
Value getStyleSheet(Vm& vm, const Value& thisValue, Args) {
    return thisTextField(vm, thisValue) ? styleSheetOf(vm, thisValue) : Value();
}

Value setStyleSheet(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    ObjectRef self = vm.toObject(thisValue);
    if (!field || !self) return Value();
    const Value sheet = arg(args, 0).isObject() ? args[0] : Value();
    self->defineValue(kStyleSheet, sheet, PropertyFlag::DontEnum);
    field->setStyleSheet(formatsOfSheet(vm, sheet));
    return Value();
}

Value setFieldProperty(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (!field) return Value();
    const FieldProperty& p = calledProperty(vm);
    const Value& v = arg(args, 0);
    // The sheet's styles may have changed since it was set.
    if (p.property == TextFieldProperty::HtmlText) {
        if (const Value sheet = styleSheetOf(vm, thisValue); sheet.isObject())
            field->setStyleSheet(formatsOfSheet(vm, sheet));
    }
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

// The characters the first `count` arguments name, [begin, end): none
// names them all (-1, -1), one the character at that index alone.
std::pair<int, int> textRange(Vm& vm, Args args, std::size_t count) {
    const int begin = count > 0 ? vm.toInt32(args[0]) : -1;
    const int end = count > 1 ? vm.toInt32(args[1]) : (count > 0 ? begin + 1 : -1);
    return {begin, end};
}

// setTextFormat([begin, [end,]] format)
Value setTextFormat(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (!field || args.empty()) return Value();
    const Value& format = args.back();
    if (!format.isObject()) return Value();
    const auto [begin, end] = textRange(vm, args, args.size() - 1);
    field->setTextFormat(begin, end, formatFromObject(vm, format.objectRef()));
    return Value();
}

Value getTextFormat(Vm& vm, const Value& thisValue, Args args) {
    TextFieldBinding* field = thisTextField(vm, thisValue);
    if (!field) return Value();
    const auto [begin, end] = textRange(vm, args, args.size());
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
    if (field && !args.empty()) field->replaceSelection(vm.toString(args[0]));
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

void installTextField(Vm& vm) {
    ObjectRef proto = vm.newObject();
    vm.protos().textField = proto;
    Ref<FunctionObject> field = defineClass(vm, *vm.global(), u"TextField", nullptr, nullptr, proto);
    vm.defineMethod(*field, u"getFontList", emptyArray);
    if (Object* broadcaster = broadcasterClass(vm)) initializeBroadcaster(vm, *proto, *broadcaster);
    for (std::size_t i = 0; i < std::size(kFieldProperties); ++i) {
        const FieldProperty& property = kFieldProperties[i];
        NativeFunction setter = property.kind == Kind::ReadOnly ? nullptr : setFieldProperty;
        defineMember(vm, *proto, accessor(property.name, getFieldProperty, setter, kHidden, static_cast<int>(i)));
    }
    proto->defineAccessor(String(u"styleSheet"), ObjectRef(vm.newNative(getStyleSheet)),
                          ObjectRef(vm.newNative(setStyleSheet)), kHidden | PropertyFlag::OnlySwf7Up);
    defineMembers(vm, *proto, kTextFieldPrototypeMembers);
    defineDisplayAccessors(vm, *proto);
}

}  // namespace kinolux::avm1::builtins
