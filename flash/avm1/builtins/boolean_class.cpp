// Boolean: the wrapper of true and false.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value booleanCall(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value();
    return Value(vm.toBoolean(args[0]));
}

Value booleanConstruct(Vm& vm, const Value& thisValue, Args args) {
    if (Object* self = thisObject(thisValue)) self->setPrimitive(Value(args.empty() ? false : vm.toBoolean(args[0])));
    return thisValue;
}

Value booleanToString(Vm&, const Value& thisValue, Args) {
    const Value* b = boxedPrimitive(thisValue, ObjectKind::Boolean);
    if (!b || !b->isBoolean()) return Value();
    return Value(String(b->boolean() ? u"true" : u"false"));
}

constexpr Member kBooleanPrototypeMembers[] = {
    method(u"toString", booleanToString),
    method(u"valueOf", boxedValueOf<ObjectKind::Boolean>),
};

}  // namespace

void installBoolean(Vm& vm) {
    vm.protos().boolean = wrapperPrototype(vm, ObjectKind::Boolean, Value(false));
    defineClass(vm, *vm.global(), {u"Boolean", booleanCall, booleanConstruct, kBooleanPrototypeMembers},
                vm.protos().boolean);
}

}  // namespace kinolux::avm1::builtins
