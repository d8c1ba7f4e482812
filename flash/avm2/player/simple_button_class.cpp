// SimpleButton: the objects of its four states, which a script gives to
// the constructor or one at a time (a symbol's own are made from its
// records), and its switches.
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/button.h"

namespace flash {
namespace {

using namespace as3;

constexpr std::uint8_t kStates[] = {swf::ButtonState::Up, swf::ButtonState::Over, swf::ButtonState::Down,
                                    swf::ButtonState::HitTest};

Button* buttonOf(const Value& t) {
    DisplayObject* d = DisplayBridge::displayOf(t);
    return d && d->kind() == ObjectKind::Button ? static_cast<Button*>(d) : nullptr;
}

// A state's object leaves the container that held it. Going on show on
// the stage it catches up with the frame: it hears the frame's
// construction and its end at once.
void setState(Vm& vm, DisplayBridge& bridge, Button& button, std::uint8_t state, std::shared_ptr<DisplayObject> object) {
    if (object && object->parentClip()) detachChild(vm, *object);
    const bool wasShown = object && object->parent() == &button;
    button.setStateObject(state, object);
    if (!object || wasShown || object->parent() != &button) return;
    bridge.dispatch(*object, u"added", true);
    if (!object->onStage()) return;
    bridge.dispatchStageChange(*object, true);
    for (const char16_t* type : {u"frameConstructed", u"exitFrame"}) bridge.dispatch(*object, type, false);
}

template <std::uint8_t State>
Value stateGetter(Vm& vm, const Value& t, Args) {
    Button* button = buttonOf(t);
    DisplayBridge* bridge = DisplayBridge::of(vm);
    auto object = button && bridge ? button->stateObject(State) : nullptr;
    Object* made = object ? bridge->objectOf(*object) : nullptr;
    return made ? Value(made) : Value::null();
}

template <std::uint8_t State>
Value stateSetter(Vm& vm, const Value& t, Args a) {
    Button* button = buttonOf(t);
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (button && bridge) setState(vm, *bridge, *button, State, bridge->sharedDisplayOf(arg(a, 0)));
    return Value();
}

// The states a script passes replace the symbol's; the rest are made now,
// before the subclass's constructor goes on.
Value buttonInit(Vm& vm, const Value& t, Args a) {
    Button* button = buttonOf(t);
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!button || !bridge) return Value();
    for (std::size_t i = 0; i < std::size(kStates); ++i)
        if (!arg(a, i).isNullish()) setState(vm, *bridge, *button, kStates[i], bridge->sharedDisplayOf(arg(a, i)));
    bridge->constructButtonStates(*button);
    bridge->constructChildren(*button);
    return Value();
}

}  // namespace

void installSimpleButton(Vm& vm, Class* simpleButton) {
    vm.defineConstructor(simpleButton, buttonInit);
    vm.defineGetter(simpleButton, u"upState", stateGetter<swf::ButtonState::Up>, stateSetter<swf::ButtonState::Up>);
    vm.defineGetter(simpleButton, u"overState", stateGetter<swf::ButtonState::Over>,
                    stateSetter<swf::ButtonState::Over>);
    vm.defineGetter(simpleButton, u"downState", stateGetter<swf::ButtonState::Down>,
                    stateSetter<swf::ButtonState::Down>);
    vm.defineGetter(simpleButton, u"hitTestState", stateGetter<swf::ButtonState::HitTest>,
                    stateSetter<swf::ButtonState::HitTest>);
    vm.defineGetter(simpleButton, u"enabled", flagGetter<buttonOf, &Button::enabled, true>,
                    flagSetter<buttonOf, &Button::enabled>);
    vm.defineGetter(simpleButton, u"trackAsMenu", flagGetter<buttonOf, &Button::trackAsMenu, false>,
                    flagSetter<buttonOf, &Button::trackAsMenu>);
}

}  // namespace flash
