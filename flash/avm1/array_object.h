// Arrays keep their elements as ordinary properties named "0", "1"...,
// as the Flash player does (they enumerate, hide and delete like any other
// property); the object only adds the `length` that follows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "flash/avm1/object.h"

namespace kinolux::avm1 {

class ArrayObject : public Object {
public:
    ArrayObject(Heap& heap, Value proto);

    // A 32-bit signed count, as in the player: it can wrap negative.
    std::int32_t length() const { return length_; }
    // Shrinking deletes the elements past the new end.
    void setLength(Vm& vm, std::int32_t length);
    // Appends at `length` without running setters (for literals and
    // built-ins that build fresh arrays).
    void pushRaw(Vm& vm, Value value);

    bool getNative(Vm& vm, const String& name, Value& out) override;
    bool setNative(Vm& vm, const String& name, const Value& value) override;
    bool hasNative(Vm& vm, const String& name) override;

private:
    std::int32_t length_ = 0;
};

// The element index a property name stands for ("12" -> 12), as arrays
// read names: leading blanks, then a base-10 integer.
std::optional<std::int32_t> parseArrayIndex(std::u16string_view name);

}  // namespace kinolux::avm1
