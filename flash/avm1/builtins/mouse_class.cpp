// Mouse: showing and hiding the pointer; it broadcasts the mouse events.
#include "flash/avm1/builtins/as_broadcaster.h"
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value mouseHide(Vm& vm, const Value&, Args) {
    vm.host().setMouseVisible(false);
    return Value(0);
}

Value mouseShow(Vm& vm, const Value&, Args) {
    vm.host().setMouseVisible(true);
    return Value(1);
}

constexpr Member kMouseMembers[] = {
    method(u"hide", mouseHide),
    method(u"show", mouseShow),
};

}  // namespace

void installMouse(Vm& vm) {
    defineObject(vm, *vm.global(), u"Mouse", makeBroadcasterObject(vm), kMouseMembers);
}

}  // namespace kinolux::avm1::builtins
