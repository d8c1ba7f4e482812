// ASnative(category, index): the player's numbered table of built-in
// functions, which movies (and test suites) use to reach an original
// built-in after a script replaced it. The table holds the numbers known
// for the built-ins this machine has.
#include <string>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

Value mathUnknown(Vm& vm, const Value& thisValue, Args args);

namespace {

struct NativeEntry {
    std::uint16_t category, index;
    const char16_t* path;  // where the built-in sits, from _global
};

constexpr NativeEntry kNatives[] = {
    {1, 0, u"ASSetPropFlags"},
    {5, 0, u"Mouse.show"},
    {5, 1, u"Mouse.hide"},
    {101, 0, u"Object.prototype.watch"},
    {101, 1, u"Object.prototype.unwatch"},
    {101, 2, u"Object.prototype.addProperty"},
    {101, 3, u"Object.prototype.valueOf"},
    {101, 4, u"Object.prototype.toString"},
    {101, 5, u"Object.prototype.hasOwnProperty"},
    {101, 6, u"Object.prototype.isPrototypeOf"},
    {101, 7, u"Object.prototype.isPropertyEnumerable"},
    {101, 8, u"Object.registerClass"},
    {101, 10, u"Function.prototype.call"},
    {101, 11, u"Function.prototype.apply"},
    {101, 12, u"AsBroadcaster.broadcastMessage"},
    {200, 0, u"Math.abs"},
    {200, 1, u"Math.min"},
    {200, 2, u"Math.max"},
    {200, 3, u"Math.sin"},
    {200, 4, u"Math.cos"},
    {200, 5, u"Math.atan2"},
    {200, 6, u"Math.tan"},
    {200, 7, u"Math.exp"},
    {200, 8, u"Math.log"},
    {200, 9, u"Math.sqrt"},
    {200, 10, u"Math.round"},
    {200, 11, u"Math.random"},
    {200, 12, u"Math.floor"},
    {200, 13, u"Math.ceil"},
    {200, 14, u"Math.atan"},
    {200, 15, u"Math.asin"},
    {200, 16, u"Math.acos"},
    {200, 17, u"Math.pow"},
    {800, 0, u"Key.getAscii"},
    {800, 1, u"Key.getCode"},
    {800, 2, u"Key.isDown"},
    {800, 3, u"Key.isToggled"},
    {800, 4, u"Key.isAccessible"},
};

constexpr std::uint16_t kMathCategory = 200;

String keyOf(std::int32_t category, std::int32_t index) {
    return String::fromAscii(std::to_string(category) + "," + std::to_string(index));
}

// The built-in at a dotted path, read without running any script.
Value builtinAt(Vm& vm, std::u16string_view path) {
    Value current(vm.global());
    while (!path.empty() && current.isObject()) {
        std::size_t dot = path.find(u'.');
        String part(path.substr(0, dot));
        current = current.object()->ownValue(part, true);
        path = dot == std::u16string_view::npos ? std::u16string_view() : path.substr(dot + 1);
    }
    return path.empty() ? current : Value();
}

Value asNative(Vm& vm, const Value&, Args args) {
    if (args.size() < 2 || !vm.protos().nativeTable) return Value();
    std::int32_t category = vm.toInt32(args[0]);
    std::int32_t index = vm.toInt32(args[1]);
    Value found = vm.protos().nativeTable->ownValue(keyOf(category, index), true);
    if (!found.isUndefined()) return found;
    if (category == kMathCategory && index >= 0) return Value(ObjectRef(vm.newNative(mathUnknown)));
    return Value();
}

}  // namespace

void installAsNative(Vm& vm) {
    ObjectRef table = vm.newObject();
    for (const NativeEntry& entry : kNatives) {
        Value fn = builtinAt(vm, entry.path);
        if (fn.isObject()) table->defineValue(keyOf(entry.category, entry.index), fn, kHidden);
    }
    vm.protos().nativeTable = table;
    vm.defineMethod(*vm.global(), u"ASnative", asNative, PropertyFlag::DontEnum);
}

}  // namespace kinolux::avm1::builtins
