// String.
#include <algorithm>
#include <optional>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/case_mapping.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

// An index counted from the end when negative, clamped to 0..length.
std::size_t wrappingIndex(std::int32_t i, std::size_t length) {
    if (i < 0) {
        std::size_t back = static_cast<std::size_t>(-static_cast<std::int64_t>(i));
        return back > length ? 0 : length - back;
    }
    return std::min(static_cast<std::size_t>(i), length);
}

std::size_t clampedIndex(std::int32_t i, std::size_t length) {
    return i < 0 ? 0 : std::min(static_cast<std::size_t>(i), length);
}

Value stringCall(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value(String());
    return Value(vm.toString(args[0]));
}

Value stringConstruct(Vm& vm, const Value& thisValue, Args args) {
    String value = args.empty() ? String() : vm.toString(args[0]);
    if (Object* self = thisObject(thisValue)) {
        self->defineValue(vm.names().length, Value(value.size()), PropertyFlag::DontEnum | PropertyFlag::DontDelete);
        self->setPrimitive(Value(value));
    }
    return thisValue;
}

Value toStringValueOf(Vm&, const Value& thisValue, Args) {
    if (thisValue.isString()) return thisValue;
    const Value* s = boxedPrimitive(thisValue, ObjectKind::String);
    return s ? *s : Value();
}

Value charAt(Vm& vm, const Value& thisValue, Args args) {
    String s = vm.toString(thisValue);
    std::int32_t i = vm.toInt32(arg(args, 0));
    if (i < 0 || static_cast<std::size_t>(i) >= s.size()) return Value(String());
    return Value(s.substr(static_cast<std::size_t>(i), 1));
}

Value charCodeAt(Vm& vm, const Value& thisValue, Args args) {
    String s = vm.toString(thisValue);
    std::int32_t i = vm.toInt32(arg(args, 0));
    if (i < 0) return Value(NAN);
    if (static_cast<std::size_t>(i) >= s.size()) return Value(vm.swfVersion() == 5 ? 0.0 : NAN);
    return Value(static_cast<double>(s[static_cast<std::size_t>(i)]));
}

Value concat(Vm& vm, const Value& thisValue, Args args) {
    std::u16string out(vm.toString(thisValue).view());
    for (const Value& a : args) {
        out += vm.toString(a).view();
        vm.checkStringLength(out.size());
    }
    return Value(String(out));
}

Value fromCharCode(Vm& vm, const Value&, Args args) {
    std::u16string out;
    for (const Value& a : args) {
        char16_t c = toUint16(vm.toNumber(a));
        if (c == 0) break;
        out.push_back(c);
    }
    return Value(String(out));
}

Value indexOf(Vm& vm, const Value& thisValue, Args args) {
    String s = vm.toString(thisValue);
    if (args.empty()) return Value();
    String pattern = vm.toString(args[0]);
    std::size_t start = arg(args, 1).isUndefined() ? 0 : static_cast<std::size_t>(std::max(0, vm.toInt32(args[1])));
    if (start > s.size()) return Value(-1);
    std::size_t at = s.view().find(pattern.view(), start);
    return Value(at == std::u16string_view::npos ? -1.0 : static_cast<double>(at));
}

Value lastIndexOf(Vm& vm, const Value& thisValue, Args args) {
    String s = vm.toString(thisValue);
    if (args.empty()) return Value();
    String pattern = vm.toString(args[0]);
    std::size_t end = s.size();
    if (!arg(args, 1).isUndefined()) {
        std::int32_t n = vm.toInt32(args[1]);
        if (n < 0) return Value(-1);
        end = std::min(s.size(), static_cast<std::size_t>(n) + pattern.size());
    }
    std::size_t at = s.view().substr(0, end).rfind(pattern.view());
    return Value(at == std::u16string_view::npos ? -1.0 : static_cast<double>(at));
}

Value slice(Vm& vm, const Value& thisValue, Args args) {
    if (args.empty()) return Value();
    String s = vm.toString(thisValue);
    std::size_t start = wrappingIndex(vm.toInt32(args[0]), s.size());
    std::size_t end = arg(args, 1).isUndefined() ? s.size() : wrappingIndex(vm.toInt32(args[1]), s.size());
    return Value(start < end ? s.substr(start, end - start) : String());
}

Value substr(Vm& vm, const Value& thisValue, Args args) {
    if (args.empty()) return Value();
    String s = vm.toString(thisValue);
    std::size_t start = wrappingIndex(vm.toInt32(args[0]), s.size());
    std::int64_t length = arg(args, 1).isUndefined() ? static_cast<std::int64_t>(s.size()) : vm.toInt32(args[1]);
    std::int64_t endRaw = static_cast<std::int64_t>(start) + length;
    std::size_t end = wrappingIndex(static_cast<std::int32_t>(std::clamp<std::int64_t>(endRaw, INT32_MIN, INT32_MAX)), s.size());
    return Value(start < end ? s.substr(start, end - start) : String());
}

Value substring(Vm& vm, const Value& thisValue, Args args) {
    if (args.empty()) return Value();
    String s = vm.toString(thisValue);
    std::size_t start = clampedIndex(vm.toInt32(args[0]), s.size());
    std::size_t end = arg(args, 1).isUndefined() ? s.size() : clampedIndex(vm.toInt32(args[1]), s.size());
    if (end < start) std::swap(start, end);
    return Value(s.substr(start, end - start));
}

Value split(Vm& vm, const Value& thisValue, Args args) {
    String s = vm.toString(thisValue);
    std::size_t limit = SIZE_MAX;
    if (!arg(args, 1).isUndefined()) limit = static_cast<std::size_t>(std::max(0, vm.toInt32(args[1])));
    // In SWF 5 the default separator is a comma, and "" acts as undefined.
    const bool swf5 = vm.swfVersion() == 5;
    std::optional<String> separator;
    if (arg(args, 0).isUndefined()) {
        if (swf5) separator = String(u",");
    } else {
        String given = vm.toString(args[0]);
        if (!(swf5 && given.empty())) separator = given;
    }
    std::vector<Value> parts;
    if (!separator) {
        parts.emplace_back(s);
    } else if (separator->empty()) {
        for (std::size_t i = 0; i < s.size() && parts.size() < limit; ++i) parts.emplace_back(s.substr(i, 1));
    } else {
        std::u16string_view view = s.view();
        std::size_t start = 0;
        while (parts.size() < limit) {
            std::size_t at = view.find(separator->view(), start);
            if (at == std::u16string_view::npos) {
                parts.emplace_back(String(view.substr(start)));
                break;
            }
            parts.emplace_back(String(view.substr(start, at - start)));
            start = at + separator->size();
        }
    }
    vm.charge(parts.size());
    return Value(ObjectRef(vm.newArray(std::move(parts))));
}

Value toLowerCase(Vm& vm, const Value& thisValue, Args) {
    std::u16string out(vm.toString(thisValue).view());
    for (char16_t& c : out) c = avm1::toLowerCase(c);
    return Value(String(out));
}

Value toUpperCase(Vm& vm, const Value& thisValue, Args) {
    std::u16string out(vm.toString(thisValue).view());
    for (char16_t& c : out) c = avm1::toUpperCase(c);
    return Value(String(out));
}

constexpr Member kStringPrototypeMembers[] = {
    method(u"toString", toStringValueOf),
    method(u"valueOf", toStringValueOf),
    method(u"charAt", charAt),
    method(u"charCodeAt", charCodeAt),
    method(u"concat", concat),
    method(u"indexOf", indexOf),
    method(u"lastIndexOf", lastIndexOf),
    method(u"slice", slice),
    method(u"split", split),
    method(u"substr", substr),
    method(u"substring", substring),
    method(u"toLowerCase", toLowerCase),
    method(u"toUpperCase", toUpperCase),
};

constexpr Member kStringClassMembers[] = {
    method(u"fromCharCode", fromCharCode),
};

}  // namespace

void installString(Vm& vm) {
    vm.protos().string = wrapperPrototype(vm, ObjectKind::String, Value(String()));
    defineClass(vm, *vm.global(), {u"String", stringCall, stringConstruct, kStringPrototypeMembers, kStringClassMembers},
                vm.protos().string);
}

}  // namespace kinolux::avm1::builtins
