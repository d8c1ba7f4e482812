// AsBroadcaster, and the listener lists of Key, Mouse, Stage and
// Selection built on it.
#include "flash/avm1/builtins/as_broadcaster.h"

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value broadcastMessage(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value();
    String event = vm.toString(args[0]);
    Args callArgs = args.subspan(1);
    Value listeners = vm.get(self, vm.names().listeners);
    if (!listeners.isObject()) return Value();
    // Everyone listening when the broadcast starts hears it, whatever the
    // listeners do to the list meanwhile.
    ObjectRef list = listeners.objectRef();
    std::uint32_t n = lengthOf(vm, list);
    std::vector<Value> snapshot;
    snapshot.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) snapshot.push_back(elementOf(vm, list, i));
    bool heard = false;
    for (const Value& listener : snapshot) {
        if (listener.isNullish()) continue;
        heard = true;
        // An empty event name calls each listener itself.
        if (event.empty()) vm.call(listener, listener, callArgs);
        else vm.callMethod(listener, event, callArgs);
    }
    return heard ? Value(true) : Value();
}

Value removeListener(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value(false);
    Value listeners = vm.get(self, vm.names().listeners);
    if (!listeners.isObject()) return Value(false);
    ObjectRef list = listeners.objectRef();
    std::uint32_t n = lengthOf(vm, list);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (vm.abstractEquals(elementOf(vm, list, i), arg(args, 0))) {
            Value spliceArgs[] = {Value(i), Value(1)};
            vm.callMethod(Value(list), String(u"splice"), spliceArgs);
            return Value(true);
        }
    }
    return Value(false);
}

Value addListener(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value(false);
    removeListener(vm, thisValue, args);
    Value listeners = vm.get(self, vm.names().listeners);
    if (listeners.isObject()) {
        Value item = arg(args, 0);
        vm.callMethod(listeners, String(u"push"), Args(&item, 1));
    }
    return Value(true);
}

Value initialize(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef target = arg(args, 0).isObject() ? args[0].objectRef() : nullptr;
    ObjectRef self = thisValue.isObject() ? thisValue.objectRef() : nullptr;
    if (target && self) initializeBroadcaster(vm, *target, *self);
    return Value();
}

}  // namespace

Object* broadcasterClass(Vm& vm) {
    Value broadcaster = vm.global()->ownValue(String(u"AsBroadcaster"), true);
    return broadcaster.isObject() ? broadcaster.object() : nullptr;
}

void copyBroadcasterMethods(Object& target, Object& broadcaster, std::uint16_t flags) {
    for (std::u16string_view name : {u"broadcastMessage", u"addListener", u"removeListener"}) {
        String key(name);
        target.defineValue(key, broadcaster.ownValue(key, true), flags);
    }
}

void initializeBroadcaster(Vm& vm, Object& target, Object& broadcaster) {
    copyBroadcasterMethods(target, broadcaster, PropertyFlag::DontEnum);
    target.defineValue(vm.names().listeners, Value(ObjectRef(vm.newArray())), PropertyFlag::DontEnum);
}

ObjectRef makeBroadcasterObject(Vm& vm) {
    ObjectRef object = vm.newObject();
    if (Object* broadcaster = broadcasterClass(vm)) initializeBroadcaster(vm, *object, *broadcaster);
    return object;
}

constexpr Member kAsBroadcasterMembers[] = {
    method(u"broadcastMessage", broadcastMessage),
    method(u"addListener", addListener),
    method(u"removeListener", removeListener),
    method(u"initialize", initialize),
};

void installAsBroadcaster(Vm& vm) {
    defineClass(vm, *vm.global(), {u"AsBroadcaster", nullptr, nullptr, {}, kAsBroadcasterMembers});
}

}  // namespace kinolux::avm1::builtins
