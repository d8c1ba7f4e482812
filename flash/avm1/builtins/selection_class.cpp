// Selection: the focus, which the host keeps. With no user typing, there
// is never a text selection.
#include "flash/avm1/builtins/as_broadcaster.h"
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value selectionGetFocus(Vm& vm, const Value&, Args) {
    DisplayObjectBinding* focus = vm.host().focus();
    return focus ? Value(vm.targetPath(*focus)) : Value::null();
}

Value selectionSetFocus(Vm& vm, const Value&, Args args) {
    const Value& target = arg(args, 0);
    DisplayObjectBinding* object = target.isNullish() ? nullptr : vm.resolveTarget(target, false);
    return Value(vm.host().setFocus(object));
}


constexpr Member kSelectionMembers[] = {
    method(u"getFocus", selectionGetFocus),
    method(u"setFocus", selectionSetFocus),
    method(u"getBeginIndex", minusOne),
    method(u"getEndIndex", minusOne),
    method(u"getCaretIndex", minusOne),
    method(u"setSelection", nothing),
};

}  // namespace

void installSelection(Vm& vm) {
    ObjectRef selection = makeBroadcasterObject(vm);
    vm.global()->defineValue(u"Selection", Value(selection), PropertyFlag::DontEnum);
    defineMembers(vm, *selection, kSelectionMembers);
}

}  // namespace kinolux::avm1::builtins
