// Selection: the focus, which the host keeps, and the selection in the
// text field that has it.
#include <limits>

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
    // Only undefined and null take the focus away; no target at all, or one
    // that names nothing, fails.
    if (args.empty()) return Value(false);
    const Value& target = args[0];
    if (target.isNullish()) return Value(vm.host().setFocus(nullptr));
    DisplayObjectBinding* object = vm.resolveTarget(target, false);
    return Value(object && vm.host().setFocus(object));
}


TextFieldBinding* focusedField(Vm& vm) {
    DisplayObjectBinding* focus = vm.host().focus();
    return focus && focus->kind() == DisplayKind::TextField ? static_cast<TextFieldBinding*>(focus) : nullptr;
}

// The indices of the focused field's selection; -1 with no field or none.
template <int TextFieldBinding::Selection::*Part>
Value selectionIndex(Vm& vm, const Value&, Args) {
    TextFieldBinding* field = focusedField(vm);
    const auto sel = field ? field->selection() : std::nullopt;
    return Value(sel ? (*sel).*Part : -1);
}

// The caret goes to the second index; with only the first, to the end.
Value selectionSetSelection(Vm& vm, const Value&, Args args) {
    TextFieldBinding* field = focusedField(vm);
    if (!field || args.empty()) return Value();
    const int anchor = vm.toInt32(args[0]);
    const int caret = args.size() > 1 ? vm.toInt32(args[1]) : std::numeric_limits<int>::max();
    field->setSelection(anchor, caret);
    return Value();
}

constexpr Member kSelectionMembers[] = {
    method(u"getFocus", selectionGetFocus),
    method(u"setFocus", selectionSetFocus),
    method(u"getBeginIndex", selectionIndex<&TextFieldBinding::Selection::begin>),
    method(u"getEndIndex", selectionIndex<&TextFieldBinding::Selection::end>),
    method(u"getCaretIndex", selectionIndex<&TextFieldBinding::Selection::caret>),
    method(u"setSelection", selectionSetSelection),
};

}  // namespace

void installSelection(Vm& vm) {
    defineObject(vm, *vm.global(), u"Selection", makeBroadcasterObject(vm), kSelectionMembers);
}

}  // namespace kinolux::avm1::builtins
