// The machine's names the player's native classes are written in.
#pragma once

#include <span>

#include "flash/avm2/builtins/native.h"

namespace flash::as3 {

using kinolux::avm2::arg;
using kinolux::avm2::Class;
using kinolux::avm2::ErrorType;
using kinolux::avm2::nothing;
using kinolux::avm2::Object;
using kinolux::avm2::requireNonNull;
using kinolux::avm2::String;
using kinolux::avm2::throwFixedVector;
using kinolux::avm2::throwNotAccepted;
using kinolux::avm2::throwNullObject;
using kinolux::avm2::throwNullParameter;
using kinolux::avm2::throwOutOfBounds;
using kinolux::avm2::Value;
using kinolux::avm2::Vm;
using Args = std::span<const Value>;

// Properties the player keeps on script objects, out of the scripts' sight
// by their "__" names.
inline Value hiddenProperty(const Value& self, const char16_t* name, Value fallback = Value::null()) {
    Object* o = self.object();
    const Value* v = o ? o->dynamic.get(name) : nullptr;
    return v ? *v : fallback;
}

inline void setHiddenProperty(const Value& self, const char16_t* name, const Value& v) {
    if (Object* o = self.object()) o->dynamic.set(String(name), v, false);
}

// A hidden property that `make` makes the first time it is read.
template <class Make>
Value hiddenPropertyMadeOnce(const Value& self, const char16_t* name, Make make) {
    Value held = hiddenProperty(self, name, Value());
    if (held.isUndefined()) {
        held = make();
        setHiddenProperty(self, name, held);
    }
    return held;
}

// A Boolean property kept in `field` of the native object `of` finds for
// the script object; `fallback` is what the property reads without one.
template <auto of, auto field, bool fallback>
Value flagGetter(Vm&, const Value& self, Args) {
    const auto* o = of(self);
    return Value(o ? bool(o->*field) : fallback);
}

template <auto of, auto field>
Value flagSetter(Vm&, const Value& self, Args a) {
    if (auto* o = of(self)) o->*field = kinolux::avm2::toBoolean(arg(a, 0));
    return Value();
}

// Getters of what the player always answers.
inline Value falseValue(Vm&, const Value&, Args) { return Value(false); }
inline Value zeroValue(Vm&, const Value&, Args) { return Value(0); }
inline Value nullValue(Vm&, const Value&, Args) { return Value::null(); }

// An interface of the player's own, in `package`.
inline Class* interfaceClass(Vm& vm, std::u16string_view package, std::u16string_view name) {
    Class* c = vm.defineClass(package, name, nullptr, nullptr);
    c->isInterface = true;
    return c;
}

}  // namespace flash::as3
