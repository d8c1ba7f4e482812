// MovieClipLoader: loading movies into clips or levels through the host,
// broadcasting to its listeners as AsBroadcaster's objects do.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value loaderConstruct(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return thisValue;
    Value listeners[] = {thisValue};
    vm.set(self, vm.names().listeners, Value(ObjectRef(vm.newArray(std::vector<Value>(listeners, listeners + 1)))));
    return thisValue;
}

Value loadClip(Vm& vm, const Value&, Args args) {
    if (args.size() < 2) return Value(false);
    const Value& target = args[1];
    std::optional<int> level;
    DisplayObjectBinding* clip = nullptr;
    if (target.isNumber()) level = vm.toInt32(target);
    else clip = vm.resolveTarget(target, false);
    if (!clip && !level) return Value(false);
    vm.host().loadMovie(clip, level, vm.toString(args[0]), HttpMethod::None);
    return Value(true);
}

Value unloadClip(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value(false);
    DisplayObjectBinding* clip = args[0].isNumber() ? nullptr : vm.resolveTarget(args[0], false);
    std::optional<int> level = args[0].isNumber() ? std::optional<int>(vm.toInt32(args[0])) : std::nullopt;
    if (!clip && !level) return Value(false);
    vm.host().unloadMovie(clip, level);
    return Value(true);
}

Value getProgress(Vm& vm, const Value&, Args args) {
    MovieClipBinding* clip = args.empty() ? nullptr : asMovieClipOf(vm, args[0]);
    ObjectRef out = vm.newObject();
    vm.set(out, String(u"bytesLoaded"), Value(clip ? clip->bytesLoaded() : 0u));
    vm.set(out, String(u"bytesTotal"), Value(clip ? clip->bytesTotal() : 0u));
    return Value(out);
}

constexpr Member kLoaderMembers[] = {
    method(u"loadClip", loadClip),
    method(u"unloadClip", unloadClip),
    method(u"getProgress", getProgress),
};

}  // namespace

void installMovieClipLoader(Vm& vm) {
    Object& global = *vm.global();
    ObjectRef proto = vm.newObject();
    defineClass(vm, global, u"MovieClipLoader", loaderConstruct, loaderConstruct, proto);
    Value broadcaster = global.ownValue(String(u"AsBroadcaster"), true);
    if (broadcaster.isObject()) {
        for (std::u16string_view name : {u"broadcastMessage", u"addListener", u"removeListener"}) {
            String key(name);
            proto->defineValue(key, broadcaster.object()->ownValue(key, true), kHidden);
        }
    }
    defineMembers(vm, *proto, kLoaderMembers);
}

}  // namespace kinolux::avm1::builtins
