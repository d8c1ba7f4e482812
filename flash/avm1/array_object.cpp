#include "flash/avm1/array_object.h"

#include <algorithm>

#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

std::optional<std::int32_t> parseArrayIndex(std::u16string_view name) {
    std::size_t p = 0;
    while (p < name.size() && (name[p] == u' ' || (name[p] >= u'\t' && name[p] <= u'\r'))) ++p;
    bool negative = false;
    if (p < name.size() && (name[p] == u'-' || name[p] == u'+')) negative = name[p++] == u'-';
    if (p == name.size()) return std::nullopt;
    std::uint32_t n = 0;
    for (; p < name.size(); ++p) {
        if (name[p] < u'0' || name[p] > u'9') return std::nullopt;
        n = n * 10u + static_cast<std::uint32_t>(name[p] - u'0');
    }
    return static_cast<std::int32_t>(negative ? 0u - n : n);
}

ArrayObject::ArrayObject(Heap& heap, Value proto) : Object(heap, ObjectKind::Array, std::move(proto)) {}

void ArrayObject::setLength(Vm& vm, std::int32_t length) {
    if (length < length_) {
        // Walk the properties rather than the index range: a sparse array
        // may claim a length in the billions.
        auto& entries = properties().entries();
        for (std::size_t i = entries.size(); i-- > 0;) {
            auto index = parseArrayIndex(entries[i].name.view());
            if (index && *index >= std::max(length, 0) && *index < length_ &&
                !(entries[i].flags & PropertyFlag::DontDelete)) {
                properties().erase(static_cast<int>(i));
                vm.heap().addSlots(-1);
            }
        }
    }
    length_ = length;
}

void ArrayObject::pushRaw(Vm& vm, Value value) {
    defineValue(vm.indexName(static_cast<std::uint32_t>(length_)), std::move(value));
    length_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(length_) + 1u);
}

bool ArrayObject::getNative(Vm& vm, const String& name, Value& out) {
    if (!name.equals(vm.names().length.view(), vm.caseSensitive())) return false;
    out = Value(length_);
    return true;
}

bool ArrayObject::setNative(Vm& vm, const String& name, const Value& value) {
    if (name.equals(vm.names().length.view(), vm.caseSensitive())) {
        setLength(vm, vm.toInt32(value));
        return true;
    }
    // Writing past the end moves the length; when that wraps negative,
    // the elements it no longer covers go, as in the player.
    if (auto index = parseArrayIndex(name.view()); index && *index >= length_)
        setLength(vm, static_cast<std::int32_t>(static_cast<std::uint32_t>(*index) + 1u));
    return false;
}

bool ArrayObject::hasNative(Vm& vm, const String& name) {
    return name.equals(vm.names().length.view(), vm.caseSensitive());
}

}  // namespace kinolux::avm1
