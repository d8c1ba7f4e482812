// MouseEvent, KeyboardEvent and FocusEvent: the events the player makes of
// the user's mouse and keys, and scripts may make themselves. What each
// carries beyond Event's own is kept as properties of the event object,
// set from the constructor's arguments in order.
#include <cmath>
#include <limits>
#include <variant>

#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/display_object.h"

namespace flash {
namespace {

using namespace as3;

struct Field {
    const char16_t* name;
    enum Kind { Number, Integer, Boolean, Object, Text } kind;
    std::variant<double, bool, const char16_t*> fallback;
};

struct InputEventClass {
    const char16_t* name;
    bool bubbles;                     // what the constructor's second argument defaults to
    std::vector<Field> fields;        // the constructor's arguments after type, bubbles and cancelable
    std::vector<const char16_t*> shown;  // what toString lists after eventPhase
    std::vector<std::pair<const char16_t*, const char16_t*>> types;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const std::vector<InputEventClass>& inputEventClasses() {
    static const std::vector<InputEventClass> table{
        {u"MouseEvent",
         true,
         {{u"localX", Field::Number, kNaN},
          {u"localY", Field::Number, kNaN},
          {u"relatedObject", Field::Object, false},
          {u"ctrlKey", Field::Boolean, false},
          {u"altKey", Field::Boolean, false},
          {u"shiftKey", Field::Boolean, false},
          {u"buttonDown", Field::Boolean, false},
          {u"delta", Field::Integer, 0.0},
          {u"commandKey", Field::Boolean, false},
          {u"controlKey", Field::Boolean, false},
          {u"clickCount", Field::Integer, 0.0}},
         {u"relatedObject", u"ctrlKey", u"altKey", u"shiftKey", u"buttonDown", u"delta"},
         {{u"CLICK", u"click"}, {u"DOUBLE_CLICK", u"doubleClick"}, {u"MOUSE_DOWN", u"mouseDown"},
          {u"MOUSE_UP", u"mouseUp"}, {u"MOUSE_MOVE", u"mouseMove"}, {u"MOUSE_OVER", u"mouseOver"},
          {u"MOUSE_OUT", u"mouseOut"}, {u"ROLL_OVER", u"rollOver"}, {u"ROLL_OUT", u"rollOut"},
          {u"MOUSE_WHEEL", u"mouseWheel"}, {u"RIGHT_CLICK", u"rightClick"}, {u"RIGHT_MOUSE_DOWN", u"rightMouseDown"},
          {u"RIGHT_MOUSE_UP", u"rightMouseUp"}, {u"MIDDLE_CLICK", u"middleClick"},
          {u"MIDDLE_MOUSE_DOWN", u"middleMouseDown"}, {u"MIDDLE_MOUSE_UP", u"middleMouseUp"},
          {u"RELEASE_OUTSIDE", u"releaseOutside"}, {u"CONTEXT_MENU", u"contextMenu"}}},
        {u"KeyboardEvent",
         true,
         {{u"charCode", Field::Integer, 0.0},
          {u"keyCode", Field::Integer, 0.0},
          {u"keyLocation", Field::Integer, 0.0},
          {u"ctrlKey", Field::Boolean, false},
          {u"altKey", Field::Boolean, false},
          {u"shiftKey", Field::Boolean, false},
          {u"controlKey", Field::Boolean, false},
          {u"commandKey", Field::Boolean, false}},
         {u"charCode", u"keyCode", u"keyLocation", u"ctrlKey", u"altKey", u"shiftKey"},
         {{u"KEY_DOWN", u"keyDown"}, {u"KEY_UP", u"keyUp"}}},
        {u"FocusEvent",
         true,
         {{u"relatedObject", Field::Object, false},
          {u"shiftKey", Field::Boolean, false},
          {u"keyCode", Field::Integer, 0.0},
          {u"direction", Field::Text, u"none"}},
         {u"relatedObject", u"shiftKey", u"keyCode"},
         {{u"FOCUS_IN", u"focusIn"}, {u"FOCUS_OUT", u"focusOut"}, {u"KEY_FOCUS_CHANGE", u"keyFocusChange"},
          {u"MOUSE_FOCUS_CHANGE", u"mouseFocusChange"}}},
    };
    return table;
}

const InputEventClass& rowOf(Vm& vm, const Value& self) {
    for (Class* c = vm.classOf(self); c; c = c->super)
        if (c->ns.uri == u"flash.events")
            for (const InputEventClass& row : inputEventClasses())
                if (c->name == row.name) return row;
    throwNotA(vm, self, "flash.events.MouseEvent");
}

Value fieldValue(Vm& vm, const Field& field, const Value& given) {
    if (given.isUndefined()) {
        if (auto* n = std::get_if<double>(&field.fallback)) return Value(*n);
        if (auto* t = std::get_if<const char16_t*>(&field.fallback)) return Value(String(*t));
        return field.kind == Field::Object ? Value::null() : Value(std::get<bool>(field.fallback));
    }
    switch (field.kind) {
    case Field::Number: return Value(vm.toNumber(given));
    case Field::Integer: return Value(double(kinolux::avm2::toInt32(vm.toNumber(given))));
    case Field::Boolean: return Value(kinolux::avm2::toBoolean(given));
    case Field::Text: return Value(vm.toString(given));
    case Field::Object: return given.isNullish() ? Value::null() : given;
    }
    return given;
}

void setField(const Value& self, const char16_t* name, const Value& v) {
    if (Object* o = self.object()) o->dynamic.set(String(name), v, false);
}

Value inputEventInit(Vm& vm, const Value& self, Args a) {
    const InputEventClass& row = rowOf(vm, self);
    Value eventArgs[] = {arg(a, 0), a.size() > 1 ? a[1] : Value(row.bubbles), arg(a, 2)};
    vm.callMethod(vm.findClass(u"flash.events.Event")->init, self, eventArgs, {});
    for (std::size_t i = 0; i < row.fields.size(); ++i)
        setField(self, row.fields[i].name, fieldValue(vm, row.fields[i], arg(a, i + 3)));
    return Value();
}

Value inputEventClone(Vm& vm, const Value& self, Args) {
    const InputEventClass& row = rowOf(vm, self);
    std::vector<Value> args{vm.getPublic(self, u"type"), vm.getPublic(self, u"bubbles"),
                            vm.getPublic(self, u"cancelable")};
    for (const Field& f : row.fields) args.push_back(vm.getPublic(self, f.name));
    return Value(vm.construct(vm.findClass(String(u"flash.events." + std::u16string(row.name)).view()), args));
}

Value inputEventToString(Vm& vm, const Value& self, Args) {
    const InputEventClass& row = rowOf(vm, self);
    std::vector<Value> args{Value(String(row.name)), Value(u"type"), Value(u"bubbles"), Value(u"cancelable"),
                            Value(u"eventPhase")};
    for (const char16_t* name : row.shown) args.push_back(Value(String(name)));
    return vm.callProperty(self, kinolux::avm2::Multiname::publicName(String(u"formatToString")), args);
}

// Where on the stage a mouse event happened: its local point through the
// target's place on the stage (the stage's own points are the stage's; no
// target: nowhere, unless the point is not a number either).
template <bool Vertical>
Value stageCoordinate(Vm& vm, const Value& self, Args) {
    const double x = vm.toNumber(vm.getPublic(self, u"localX"));
    const double y = vm.toNumber(vm.getPublic(self, u"localY"));
    const Value targetValue = vm.getPublic(self, u"target");
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (bridge && targetValue.object() && targetValue.object() == bridge->stage()) return Value(Vertical ? y : x);
    DisplayObject* target = DisplayBridge::displayOf(targetValue);
    if (!target || !std::isfinite(x) || !std::isfinite(y)) return Value((Vertical ? y : x) * 0.0);
    const QPointF stage = target->worldMatrix().map(QPointF(x, y) * 20.0) / 20.0;
    return Value(Vertical ? stage.y() : stage.x());
}

}  // namespace

void installInputEventClasses(Vm& vm) {
    Class* event = vm.findClass(u"flash.events.Event");
    for (const InputEventClass& row : inputEventClasses()) {
        Class* c = vm.defineClass(u"flash.events", row.name, event, nullptr);
        vm.defineConstructor(c, inputEventInit);
        for (const auto& [name, type] : row.types) vm.defineConstant(c, name, Value(String(type)));
        vm.defineTraitMethod(c, u"clone", inputEventClone);
        vm.defineTraitMethod(c, u"toString", inputEventToString);
        vm.defineTraitMethod(c, u"updateAfterEvent", nothing);
    }
    Class* mouse = vm.findClass(u"flash.events.MouseEvent");
    vm.defineGetter(mouse, u"stageX", stageCoordinate<false>);
    vm.defineGetter(mouse, u"stageY", stageCoordinate<true>);
    vm.defineGetter(mouse, u"movementX", zeroValue);
    vm.defineGetter(mouse, u"movementY", zeroValue);
    vm.defineGetter(mouse, u"isRelatedObjectInaccessible", falseValue);
    vm.defineGetter(vm.findClass(u"flash.events.FocusEvent"), u"isRelatedObjectInaccessible", falseValue);
}

}  // namespace flash
