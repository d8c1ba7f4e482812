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
};

constexpr Member method(std::u16string_view name, NativeFunction fn, std::uint16_t flags = kHidden) {
    return {name, Member::Kind::Method, fn, nullptr, 0, flags};
}

constexpr Member accessor(std::u16string_view name, NativeFunction getter, NativeFunction setter,
                          std::uint16_t flags = kHidden) {
    return {name, Member::Kind::Accessor, getter, setter, 0, flags};
}

constexpr Member constant(std::u16string_view name, double value, std::uint16_t flags) {
    return {name, Member::Kind::Number, nullptr, nullptr, value, flags};
}

void defineMembers(Vm& vm, Object& target, std::span<const Member> members);

}  // namespace kinolux::avm1::builtins
