// Key: the state of the keyboard as the host reports it, and the codes
// of the keys scripts name; it broadcasts onKeyDown and onKeyUp.
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

constexpr Member kKeyMembers[] = {
    method(u"isDown", keyIsDown),
    method(u"isToggled", keyIsToggled),
    method(u"getCode", keyGetCode),
    method(u"getAscii", keyGetAscii),
    constant(u"ALT", 18, kConstant),
    constant(u"BACKSPACE", 8, kConstant),
    constant(u"CAPSLOCK", 20, kConstant),
    constant(u"CONTROL", 17, kConstant),
    constant(u"DELETEKEY", 46, kConstant),
    constant(u"DOWN", 40, kConstant),
    constant(u"END", 35, kConstant),
    constant(u"ENTER", 13, kConstant),
    constant(u"ESCAPE", 27, kConstant),
    constant(u"HOME", 36, kConstant),
    constant(u"INSERT", 45, kConstant),
    constant(u"LEFT", 37, kConstant),
    constant(u"PGDN", 34, kConstant),
    constant(u"PGUP", 33, kConstant),
    constant(u"RIGHT", 39, kConstant),
    constant(u"SHIFT", 16, kConstant),
    constant(u"SPACE", 32, kConstant),
    constant(u"TAB", 9, kConstant),
    constant(u"UP", 38, kConstant),
};

}  // namespace

void installKey(Vm& vm) {
    defineObject(vm, *vm.global(), u"Key", makeBroadcasterObject(vm), kKeyMembers);
}

}  // namespace kinolux::avm1::builtins
