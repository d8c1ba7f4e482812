// SharedObject, kept in memory: a converted movie has no lasting local
// storage.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value sharedObjectClear(Vm& vm, const Value& thisValue, Args) {
    if (ObjectRef self = vm.toObject(thisValue)) self->defineValue(u"data", Value(vm.newObject()), PropertyFlag::DontDelete);
    return Value();
}

Value getLocal(Vm& vm, const Value& thisValue, Args args) {
    // One object per name for the life of the movie.
    ObjectRef ctor = vm.toObject(thisValue);
    if (!ctor || args.empty()) return Value::null();
    String key = String::concat(String(u"\x01local:"), vm.toString(args[0]));
    Value cached = ctor->ownValue(key, true);
    if (cached.isObject()) return cached;
    ObjectRef object = vm.createInstance(Value(vm.protos().sharedObject));
    object->defineValue(u"data", Value(vm.newObject()), PropertyFlag::DontDelete);
    ctor->defineValue(key, Value(object), kHidden);
    return Value(object);
}

constexpr Member kClassMembers[] = {
    method(u"getLocal", getLocal),
};

constexpr Member kPrototypeMembers[] = {
    method(u"flush", yes),
    method(u"clear", sharedObjectClear),
    method(u"getSize", zero),
    method(u"close", nothing),
};

}  // namespace

void installSharedObject(Vm& vm) {
    vm.protos().sharedObject = prototypeOfKind(vm, ObjectKind::SharedObject);
    defineClass(vm, *vm.global(), {u"SharedObject", nullptr, nullptr, kPrototypeMembers, kClassMembers},
                vm.protos().sharedObject);
}

}  // namespace kinolux::avm1::builtins
