// Error.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value errorConstruct(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = thisValue.isObject() ? thisValue.objectRef() : nullptr;
    if (self && !arg(args, 0).isUndefined()) vm.set(self, String(u"message"), args[0]);
    return thisValue;
}

// Error(...) without `new` makes nothing.
Value errorCall(Vm&, const Value&, Args) { return Value(); }

Value errorToString(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = thisValue.isObject() ? thisValue.objectRef() : nullptr;
    if (!self) return Value();
    return vm.get(self, String(u"message"));  // as it is, not made a string
}

}  // namespace

void installError(Vm& vm) {
    ObjectRef proto = prototypeOfKind(vm, ObjectKind::Error);
    vm.protos().error = proto;
    defineClass(vm, *vm.global(), u"Error", errorCall, errorConstruct, proto);
    proto->defineValue(u"name", Value(String(u"Error")), PropertyFlag::DontEnum);
    proto->defineValue(u"message", Value(String(u"Error")), PropertyFlag::DontEnum);
    vm.defineMethod(*proto, u"toString", errorToString);
}

}  // namespace kinolux::avm1::builtins
