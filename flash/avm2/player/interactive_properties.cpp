// InteractiveObject's settings for the mouse and the focus, and the
// Stage's focus. What the settings change is up to the input's delivery.
#include "flash/avm2/player/as3_scripts.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/input_delivery.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;
using kinolux::avm2::DisplayScriptObject;
using Interaction = DisplayScriptObject::Interaction;

Interaction* interactionOf(const Value& self) {
    auto* o = dynamic_cast<DisplayScriptObject*>(self.object());
    return o ? &o->interaction : nullptr;
}

InputDelivery* delivery(Vm& vm) {
    auto* scripts = dynamic_cast<As3Scripts*>(&vm.host());
    return scripts ? &scripts->input() : nullptr;
}

Value tabEnabledGetter(Vm& vm, const Value& self, Args) {
    DisplayObject* d = DisplayBridge::displayOf(self);
    InputDelivery* input = delivery(vm);
    if (d && input) return Value(input->takesFocus(*d));
    Interaction* i = interactionOf(self);
    return Value(i && i->tabEnabled.value_or(false));
}
Value tabEnabledSetter(Vm&, const Value& self, Args a) {
    if (Interaction* i = interactionOf(self)) i->tabEnabled = kinolux::avm2::toBoolean(arg(a, 0));
    return Value();
}
Value tabIndexGetter(Vm&, const Value& self, Args) {
    Interaction* i = interactionOf(self);
    return Value(i ? i->tabIndex : -1);
}
Value tabIndexSetter(Vm& vm, const Value& self, Args a) {
    const int index = kinolux::avm2::toInt32(vm.toNumber(arg(a, 0)));
    if (index < -1)
        vm.throwError(ErrorType::RangeError, "Error #2027: Parameter tabIndex must be a non-negative number; got " +
                                                 std::to_string(index) + ".",
                      2027);
    if (Interaction* i = interactionOf(self)) i->tabIndex = index;
    return Value();
}
Value focusRectGetter(Vm&, const Value& self, Args) {
    Interaction* i = interactionOf(self);
    return i ? i->focusRect : Value::null();
}
// Only true and false are kept; anything else but null counts as false.
Value focusRectSetter(Vm& vm, const Value& self, Args a) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (bridge && self.object() == bridge->stage())
        vm.throwError(ErrorType::Error, "Error #2071: The Stage class does not implement this property or method.",
                      2071);
    const Value v = arg(a, 0);
    if (Interaction* i = interactionOf(self)) i->focusRect = v.isNullish() ? Value::null() : Value(v.isBoolean() && v.boolean());
    return Value();
}

Value stageFocusGetter(Vm& vm, const Value&, Args) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    auto focus = bridge ? bridge->player().input().focus.lock() : nullptr;
    if (!focus) return Value::null();
    Object* o = bridge->objectOf(*focus);
    return o ? Value(o) : Value::null();
}
Value stageFocusSetter(Vm& vm, const Value&, Args a) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bridge) return Value();
    DisplayObject* d = DisplayBridge::displayOf(arg(a, 0));
    // An object off the stage takes the focus too, until it leaves the stage.
    bridge->player().changeFocus(d);
    return Value();
}

}  // namespace

void installInteractiveProperties(Vm& vm) {
    for (const char16_t* name :
         {u"flash.display.InteractiveObject", u"flash.display.DisplayObjectContainer", u"flash.display.Sprite",
          u"flash.display.MovieClip", u"flash.display.Stage", u"flash.display.SimpleButton", u"flash.text.TextField"}) {
        Class* c = vm.findClass(name);
        vm.defineGetter(c, u"mouseEnabled", flagGetter<interactionOf, &Interaction::mouseEnabled, true>,
                        flagSetter<interactionOf, &Interaction::mouseEnabled>);
        vm.defineGetter(c, u"doubleClickEnabled", flagGetter<interactionOf, &Interaction::doubleClickEnabled, false>,
                        flagSetter<interactionOf, &Interaction::doubleClickEnabled>);
        vm.defineGetter(c, u"tabEnabled", tabEnabledGetter, tabEnabledSetter);
        vm.defineGetter(c, u"tabIndex", tabIndexGetter, tabIndexSetter);
        vm.defineGetter(c, u"focusRect", focusRectGetter, focusRectSetter);
    }
    for (const char16_t* name : {u"flash.display.DisplayObjectContainer", u"flash.display.Sprite",
                                 u"flash.display.MovieClip", u"flash.display.Stage"})
        vm.defineGetter(vm.findClass(name), u"mouseChildren",
                        flagGetter<interactionOf, &Interaction::mouseChildren, true>,
                        flagSetter<interactionOf, &Interaction::mouseChildren>);
    for (const char16_t* name : {u"flash.display.Sprite", u"flash.display.MovieClip"})
        vm.defineGetter(vm.findClass(name), u"buttonMode", flagGetter<interactionOf, &Interaction::buttonMode, false>,
                        flagSetter<interactionOf, &Interaction::buttonMode>);
    for (const char16_t* name : {u"flash.display.Sprite", u"flash.display.MovieClip", u"flash.display.SimpleButton"})
        vm.defineGetter(vm.findClass(name), u"useHandCursor",
                        flagGetter<interactionOf, &Interaction::useHandCursor, true>,
                        flagSetter<interactionOf, &Interaction::useHandCursor>);
    vm.defineGetter(vm.findClass(u"flash.display.Stage"), u"focus", stageFocusGetter, stageFocusSetter);
}

}  // namespace flash
