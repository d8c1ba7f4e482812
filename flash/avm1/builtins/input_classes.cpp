// Key, Mouse, Stage and Selection: thin objects over the host's input and
// stage, broadcasting the events the player passes on (Vm::notify*).
#include "flash/avm1/builtins/as_broadcaster.h"
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value keyIsDown(Vm& vm, const Value&, Args args) { return Value(vm.host().isKeyDown(vm.toInt32(arg(args, 0)))); }
Value keyIsToggled(Vm& vm, const Value&, Args args) { return Value(vm.host().isKeyToggled(vm.toInt32(arg(args, 0)))); }
Value keyGetCode(Vm& vm, const Value&, Args) { return Value(vm.host().lastKeyCode()); }
Value keyGetAscii(Vm& vm, const Value&, Args) { return Value(vm.host().lastKeyAscii()); }

Value mouseHide(Vm& vm, const Value&, Args) {
    vm.host().setMouseVisible(false);
    return Value(0);
}

Value mouseShow(Vm& vm, const Value&, Args) {
    vm.host().setMouseVisible(true);
    return Value(1);
}

Value stageWidth(Vm& vm, const Value&, Args) { return Value(vm.host().stageWidth()); }
Value stageHeight(Vm& vm, const Value&, Args) { return Value(vm.host().stageHeight()); }
Value stageScaleMode(Vm& vm, const Value&, Args) { return Value(vm.host().stageScaleMode()); }
Value setStageScaleMode(Vm& vm, const Value&, Args args) {
    vm.host().setStageScaleMode(vm.toString(arg(args, 0)));
    return Value();
}
Value stageAlign(Vm& vm, const Value&, Args) { return Value(vm.host().stageAlign()); }
Value setStageAlign(Vm& vm, const Value&, Args args) {
    vm.host().setStageAlign(vm.toString(arg(args, 0)));
    return Value();
}
Value stageShowMenu(Vm& vm, const Value&, Args) { return Value(vm.host().showMenu()); }
Value setStageShowMenu(Vm& vm, const Value&, Args args) {
    vm.host().setShowMenu(vm.toBoolean(arg(args, 0)));
    return Value();
}

Value selectionGetFocus(Vm& vm, const Value&, Args) {
    DisplayObjectBinding* focus = vm.host().focus();
    return focus ? Value(vm.targetPath(*focus)) : Value::null();
}

Value selectionSetFocus(Vm& vm, const Value&, Args args) {
    const Value& target = arg(args, 0);
    DisplayObjectBinding* object = target.isNullish() ? nullptr : vm.resolveTarget(target, false);
    return Value(vm.host().setFocus(object));
}

Value minusOne(Vm&, const Value&, Args) { return Value(-1); }

constexpr Member kKeyMembers[] = {
    method(u"isDown", keyIsDown),
    method(u"isToggled", keyIsToggled),
    method(u"getCode", keyGetCode),
    method(u"getAscii", keyGetAscii),
};

constexpr Member kStageMembers[] = {
    accessor(u"width", stageWidth, nullptr),
    accessor(u"height", stageHeight, nullptr),
    accessor(u"scaleMode", stageScaleMode, setStageScaleMode),
    accessor(u"align", stageAlign, setStageAlign),
    accessor(u"showMenu", stageShowMenu, setStageShowMenu),
};

constexpr Member kSelectionMembers[] = {
    method(u"getFocus", selectionGetFocus),
    method(u"setFocus", selectionSetFocus),
    method(u"getBeginIndex", minusOne),
    method(u"getEndIndex", minusOne),
    method(u"getCaretIndex", minusOne),
    method(u"setSelection", nothing),
};

}  // namespace

void installInput(Vm& vm) {
    Object& global = *vm.global();
    ObjectRef key = makeBroadcasterObject(vm);
    global.defineValue(u"Key", Value(key), PropertyFlag::DontEnum);
    defineMembers(vm, *key, kKeyMembers);
    const std::pair<std::u16string_view, int> codes[] = {
        {u"ALT", 18}, {u"BACKSPACE", 8}, {u"CAPSLOCK", 20}, {u"CONTROL", 17}, {u"DELETEKEY", 46},
        {u"DOWN", 40}, {u"END", 35}, {u"ENTER", 13}, {u"ESCAPE", 27}, {u"HOME", 36},
        {u"INSERT", 45}, {u"LEFT", 37}, {u"PGDN", 34}, {u"PGUP", 33}, {u"RIGHT", 39},
        {u"SHIFT", 16}, {u"SPACE", 32}, {u"TAB", 9}, {u"UP", 38},
    };
    for (const auto& [name, code] : codes) key->defineValue(name, Value(code), kHidden | PropertyFlag::ReadOnly);

    ObjectRef mouse = makeBroadcasterObject(vm);
    global.defineValue(u"Mouse", Value(mouse), PropertyFlag::DontEnum);
    vm.defineMethod(*mouse, u"hide", mouseHide);
    vm.defineMethod(*mouse, u"show", mouseShow);

    ObjectRef stage = makeBroadcasterObject(vm);
    vm.protos().stage = stage;
    global.defineValue(u"Stage", Value(stage), PropertyFlag::DontEnum);
    defineMembers(vm, *stage, kStageMembers);

    ObjectRef selection = makeBroadcasterObject(vm);
    global.defineValue(u"Selection", Value(selection), PropertyFlag::DontEnum);
    defineMembers(vm, *selection, kSelectionMembers);
}

}  // namespace kinolux::avm1::builtins
