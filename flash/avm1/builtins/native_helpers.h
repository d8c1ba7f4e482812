// Small helpers the built-ins share.
#pragma once

#include "flash/avm1/array_object.h"
#include "flash/avm1/vm.h"

namespace kinolux::avm1::builtins {

// Hidden and permanent, as the player's own methods are.
constexpr std::uint16_t kHidden = PropertyFlag::DontEnum | PropertyFlag::DontDelete;
// Hidden and read-only too: the classes' numeric constants.
constexpr std::uint16_t kConstant = kHidden | PropertyFlag::ReadOnly;
// Hidden, and only there for movies of version 6 and later.
constexpr std::uint16_t kSwf6 = kHidden | PropertyFlag::OnlySwf6Up;

inline const Value& arg(Args args, std::size_t i) {
    static const Value kUndefined;
    return i < args.size() ? args[i] : kUndefined;
}

// A method that does nothing here (stubs of player features a converted
// movie has no use for).
inline Value nothing(Vm&, const Value&, Args) { return Value(); }
// getBytesLoaded and the like, for what is never loaded from anywhere.
inline Value zero(Vm&, const Value&, Args) { return Value(0); }
// Fixed answers of services that are never available (or always succeed).
inline Value no(Vm&, const Value&, Args) { return Value(false); }
// "No such index", as text selections answer when nothing is selected.
inline Value minusOne(Vm&, const Value&, Args) { return Value(-1); }
inline Value yes(Vm&, const Value&, Args) { return Value(true); }
// The constructor of a stub class: the fresh object, as it is.
inline Value keepThis(Vm&, const Value& thisValue, Args) { return thisValue; }

// load(url) of LoadVars and StyleSheet: "loaded" goes false until the
// text arrives at the object's onData.
inline Value loadText(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value(false);
    vm.set(self, String(u"loaded"), Value(false));
    std::uint32_t id = vm.startRequest(self);
    return Value(vm.host().requestText(id, vm.toString(args[0]), HttpMethod::Get, {}));
}

// onData of LoadVars and StyleSheet: the text arrived (undefined when the
// load failed) goes through the object's own `reader` method, so that a
// script's replacement takes it; "loaded" turns true once it is read, and
// onLoad hears whether it was. With `readerDecides`, the reader's answer
// says so; otherwise any text counts.
inline Value readLoadedText(Vm& vm, const Value& thisValue, Args args, std::u16string_view reader,
                            bool readerDecides) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    bool success = false;
    if (!arg(args, 0).isUndefined()) {
        Value text = args[0];
        Value answer = vm.callMethod(Value(self), String(reader), Args(&text, 1));
        success = !readerDecides || vm.toBoolean(answer);
        if (success) vm.set(self, String(u"loaded"), Value(true));
    }
    Value heard(success);
    vm.callMethod(Value(self), vm.names().onLoad, Args(&heard, 1));
    return Value();
}

inline Object* thisObject(const Value& thisValue) {
    return thisValue.isObject() ? thisValue.object() : nullptr;
}

// `this` as an object of a native kind (a Date, a Sound...), or null.
template <class T = Object>
T* thisOfKind(const Value& thisValue, ObjectKind kind) {
    Object* self = thisObject(thisValue);
    return self && self->kind() == kind ? static_cast<T*>(self) : nullptr;
}

// The number, boolean or string inside a wrapper object of that kind.
inline const Value* boxedPrimitive(const Value& thisValue, ObjectKind kind) {
    Object* self = thisOfKind(thisValue, kind);
    return self ? &self->primitive() : nullptr;
}

// valueOf of Number and Boolean: the value inside, or undefined.
template <ObjectKind Kind>
Value boxedValueOf(Vm&, const Value& thisValue, Args) {
    const Value* inside = boxedPrimitive(thisValue, Kind);
    return inside ? *inside : Value();
}

inline double argNumber(Vm& vm, Args args, std::size_t i, double fallback) {
    return i < args.size() && !args[i].isUndefined() ? vm.toNumber(args[i]) : fallback;
}

// A class: its constructor on _global (or `owner`) under `name`, with a
// fresh prototype whose own prototype is Object.prototype.
Ref<FunctionObject> defineClass(Vm& vm, Object& owner, std::u16string_view name, NativeFunction call,
                                NativeFunction construct, ObjectRef prototype = nullptr);

// The {a, b, c, d, tx, ty} of a matrix object, read in that order. The
// display side takes finite numbers only, so finiteMatrix makes the
// others 0.
Matrix matrixFields(Vm& vm, const ObjectRef& object);
Matrix finiteMatrix(Matrix m);

// Reading and writing array-like objects (arrays or anything with a
// length) the way the player's array methods do: own stored values only,
// no getters, setters or prototypes.
std::uint32_t lengthOf(Vm& vm, const ObjectRef& object);
Value elementOf(Vm& vm, const ObjectRef& object, std::uint32_t index);
void setElement(Vm& vm, const ObjectRef& object, std::uint32_t index, const Value& value);

// The display object behind `this`, of the kind a method needs.
DisplayObjectBinding* thisDisplayObject(Vm& vm, const Value& thisValue);
MovieClipBinding* thisMovieClip(Vm& vm, const Value& thisValue);

}  // namespace kinolux::avm1::builtins
