// Stage: the host's stage size and layout; it broadcasts onResize.
#include "flash/avm1/builtins/as_broadcaster.h"
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

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

constexpr Member kStageMembers[] = {
    accessor(u"width", stageWidth, nullptr),
    accessor(u"height", stageHeight, nullptr),
    accessor(u"scaleMode", stageScaleMode, setStageScaleMode),
    accessor(u"align", stageAlign, setStageAlign),
    accessor(u"showMenu", stageShowMenu, setStageShowMenu),
};

}  // namespace

void installStage(Vm& vm) {
    vm.protos().stage = makeBroadcasterObject(vm);
    defineObject(vm, *vm.global(), u"Stage", vm.protos().stage, kStageMembers);
}

}  // namespace kinolux::avm1::builtins
