// The members of a built-in class or object as a table: one row per
// method, accessor or constant, with its property flags, applied in order
// (the order for..in lists them in) by defineMembers.
#pragma once

#include <span>
#include <string_view>

#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

struct Member {
    enum class Kind : std::uint8_t { Method, Accessor, Number };
    std::u16string_view name;
    Kind kind = Kind::Method;
    NativeFunction function = nullptr;  // the method, or the getter
    NativeFunction setter = nullptr;    // null: the accessor is read-only
    double number = 0;
    std::uint16_t flags = kHidden;
    int tag = 0;  // told to each function the row makes, for natives that serve several rows
};

constexpr Member method(std::u16string_view name, NativeFunction fn, std::uint16_t flags = kHidden, int tag = 0) {
    return {name, Member::Kind::Method, fn, nullptr, 0, flags, tag};
}

constexpr Member accessor(std::u16string_view name, NativeFunction getter, NativeFunction setter,
                          std::uint16_t flags = kHidden, int tag = 0) {
    return {name, Member::Kind::Accessor, getter, setter, 0, flags, tag};
}

constexpr Member constant(std::u16string_view name, double value, std::uint16_t flags) {
    return {name, Member::Kind::Number, nullptr, nullptr, value, flags};
}

void defineMember(Vm& vm, Object& target, const Member& member);
void defineMembers(Vm& vm, Object& target, std::span<const Member> members);

// A class as data: its name, what calling and `new` run, and the members of
// its prototype and of the class itself.
struct ClassTable {
    std::u16string_view name;
    NativeFunction call = nullptr;
    NativeFunction construct = nullptr;
    std::span<const Member> prototypeMembers = {};
    std::span<const Member> classMembers = {};
};

// Defines the class on `owner` over `prototype` (a fresh one if null) and
// applies both of its tables.
Ref<FunctionObject> defineClass(Vm& vm, Object& owner, const ClassTable& table, ObjectRef prototype = nullptr);

// One of the player's own objects (Math, Mouse, Stage...): `object`, hidden
// on `owner` under `name`, with its members.
void defineObject(Vm& vm, Object& owner, std::u16string_view name, const ObjectRef& object,
                  std::span<const Member> members);

// A fresh prototype whose instances are of a native kind (Date, Sound...).
ObjectRef prototypeOfKind(Vm& vm, ObjectKind kind);
// The prototype of a wrapper class (Number, Boolean, String): itself a
// wrapper of `primitive`.
ObjectRef wrapperPrototype(Vm& vm, ObjectKind kind, Value primitive);

}  // namespace kinolux::avm1::builtins
