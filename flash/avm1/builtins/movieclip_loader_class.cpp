// MovieClipLoader: loading movies into clips or levels through the host,
// broadcasting to its listeners as AsBroadcaster's objects do.
#include "flash/avm1/builtins/as_broadcaster.h"
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

// Where a loader's call points: a level by number, a clip by itself or
// by its path.
struct LoaderTarget {
    DisplayObjectBinding* clip = nullptr;
    std::optional<int> level;
};

LoaderTarget loaderTarget(Vm& vm, const Value& target) {
    if (target.isNumber()) return {nullptr, vm.toInt32(target)};
    return {vm.resolveTarget(target, false), std::nullopt};
}

// Without both arguments nothing is answered; an address that is not a
// string is refused unread (its toString is not called).
Value loadClip(Vm& vm, const Value& thisValue, Args args) {
    if (args.size() < 2) return Value();
    if (!args[0].isString()) return Value(false);
    const auto [clip, level] = loaderTarget(vm, args[1]);
    if (!clip && !level) return Value(false);
    vm.host().loadClip(clip, level, vm.toString(args[0]), vm.toObject(thisValue));
    return Value(true);
}

Value unloadClip(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value(false);
    const auto [clip, level] = loaderTarget(vm, args[0]);
    if (!clip && !level) return Value(false);
    vm.host().unloadMovie(clip, level);
    return Value(true);
}

// A path or a level number always gets an answer, with undefined counts
// when nothing is there; any other value only when it is a clip.
Value getProgress(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value();
    const Value& target = args[0];
    if (!target.isNumber() && !target.isString() && !vm.bindingOf(target)) return Value();
    DisplayObjectBinding* found = target.isNumber() ? vm.host().level(vm.toInt32(target)) : vm.resolveTarget(target, false);
    auto* clip = found && found->kind() == DisplayKind::MovieClip ? static_cast<MovieClipBinding*>(found) : nullptr;
    ObjectRef out = vm.newObject();
    vm.set(out, String(u"bytesLoaded"), clip ? Value(clip->bytesLoaded()) : Value());
    vm.set(out, String(u"bytesTotal"), clip ? Value(clip->bytesTotal()) : Value());
    return Value(out);
}

constexpr Member kLoaderMembers[] = {
    method(u"loadClip", loadClip),
    method(u"unloadClip", unloadClip),
    method(u"getProgress", getProgress),
};

}  // namespace

void installMovieClipLoader(Vm& vm) {
    ObjectRef proto = vm.newObject();
    defineClass(vm, *vm.global(), u"MovieClipLoader", loaderConstruct, loaderConstruct, proto);
    if (Object* broadcaster = broadcasterClass(vm)) copyBroadcasterMethods(*proto, *broadcaster, kHidden);
    defineMembers(vm, *proto, kLoaderMembers);
}

}  // namespace kinolux::avm1::builtins
