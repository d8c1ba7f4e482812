#include "flash/avm1/array_object.h"

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

void ArrayObject::setLength(Vm& vm, std::uint32_t length) {
    if (length < length_) {
        // Walk the properties rather than the index range: a sparse array
        // may claim a length in the billions.
        auto& entries = properties().entries();
        for (std::size_t i = entries.size(); i-- > 0;) {
            auto index = parseArrayIndex(entries[i].name.view());
            if (index && *index >= 0 && static_cast<std::uint32_t>(*index) >= length &&
                !(entries[i].flags & PropertyFlag::DontDelete)) {
                properties().erase(static_cast<int>(i));
                vm.heap().addSlots(-1);
            }
        }
    }
    length_ = length;
}

void ArrayObject::pushRaw(Vm& vm, Value value) {
    defineValue(vm.indexName(length_), std::move(value));
    ++length_;
}

bool ArrayObject::getNative(Vm& vm, const String& name, Value& out) {
    if (!name.equals(vm.names().length.view(), vm.caseSensitive())) return false;
    out = Value(length_);
    return true;
}

bool ArrayObject::setNative(Vm& vm, const String& name, const Value& value) {
    if (name.equals(vm.names().length.view(), vm.caseSensitive())) {
        std::int32_t n = vm.toInt32(value);
        setLength(vm, n < 0 ? 0 : static_cast<std::uint32_t>(n));
        return true;
    }
    if (auto index = parseArrayIndex(name.view()); index && *index >= 0 &&
                                                   static_cast<std::uint32_t>(*index) >= length_) {
        length_ = static_cast<std::uint32_t>(*index) + 1;
    }
    return false;
}

bool ArrayObject::hasNative(Vm& vm, const String& name) {
    return name.equals(vm.names().length.view(), vm.caseSensitive());
}

}  // namespace kinolux::avm1
