// Conversions that may run script code (valueOf, toString), and the
// comparisons built on them, with the player's version differences.
#include <algorithm>
#include <cmath>

#include "flash/avm1/stage_object.h"
#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

namespace {

// String order by code point (as the UTF-8 bytes compare), which differs
// from UTF-16 unit order for characters past the surrogates.
bool codePointLess(std::u16string_view a, std::u16string_view b) {
    auto key = [](char16_t c) { return c >= 0xD800 && c < 0xE000 ? c + 0x2000u : c >= 0xE000 ? c - 0x800u : c; };
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return key(a[i]) < key(b[i]);
    }
    return a.size() < b.size();
}

bool isDisplayObject(const Value& v) {
    return v.isObject() && v.object()->kind() == ObjectKind::Stage;
}

}  // namespace

Value Vm::toPrimitiveNumber(const Value& v) {
    if (!v.isObject() || isDisplayObject(v)) return v;
    return callMethod(v, names_.valueOf, {});
}

Value Vm::toPrimitive(const Value& v) {
    if (!v.isObject()) return v;
    if (isDisplayObject(v)) {
        Value result = callMethod(v, names_.valueOf, {});
        if (result.isUndefined()) return Value(toString(v));
        return v;
    }
    bool dateAsString = v.object()->kind() == ObjectKind::Date && swfVersion() > 5;
    Value result = callMethod(v, dateAsString ? names_.toString : names_.valueOf, {});
    return result.isPrimitive() ? result : v;
}

double Vm::toNumber(const Value& v) {
    if (v.isNumber()) return v.number();
    if (!v.isObject()) return primitiveToNumber(v, swfVersion());
    return primitiveToNumber(toPrimitiveNumber(v), swfVersion());
}

String Vm::toString(const Value& v) {
    if (v.isString()) return v.string();
    if (!v.isObject()) return primitiveToString(v, swfVersion());
    Object* object = v.object();
    if (object->kind() == ObjectKind::Stage) {
        // A clip that left the stage names the one now found at its path,
        // or nothing.
        DisplayObjectBinding* found = bindingOf(object);
        return found ? targetPath(*found) : String();
    }
    Value result = callMethod(v, names_.toString, {});
    if (result.isString()) return result.string();
    return String(object->isCallable() ? u"[type Function]" : u"[type Object]");
}

ObjectRef Vm::toObject(const Value& v) {
    if (v.isObject()) return v.objectRef();
    if (v.isNullish()) return nullptr;
    return box(v);
}

// Scripts hold clips by their target path: two clips at one path (a clip
// and one placed under its name again) compare equal.
bool Vm::sameClipPath(const Value& a, const Value& b) {
    if (!a.isObject() || !b.isObject()) return false;
    DisplayObjectBinding* x = bindingOf(a);
    DisplayObjectBinding* y = bindingOf(b);
    return x && y && x != y && x->kind() == DisplayKind::MovieClip && y->kind() == DisplayKind::MovieClip &&
           targetPath(*x) == targetPath(*y);
}

bool Vm::abstractEquals(const Value& aIn, const Value& bIn) {
    Value a = aIn;
    Value b = bIn;
    // SWF 5 calls valueOf on both sides first, even for two objects.
    if (swfVersion() <= 5) {
        a = toPrimitiveNumber(aIn);
        b = toPrimitiveNumber(bIn);
    }
    if (a.isNullish() && b.isNullish()) return true;
    if (a.type() == b.type()) {
        switch (a.type()) {
        case ValueType::Boolean: return a.boolean() == b.boolean();
        case ValueType::String: return a.string() == b.string();
        case ValueType::Object: return a.object() == b.object() || sameClipPath(a, b);
        case ValueType::Number:
            // Flash 7 and later players hold NaN == NaN true.
            return a.number() == b.number() || (std::isnan(a.number()) && std::isnan(b.number()));
        default: return true;
        }
    }
    if (a.isBoolean()) return abstractEquals(Value(a.boolean() ? 1.0 : 0.0), b);
    if (b.isBoolean()) return abstractEquals(a, Value(b.boolean() ? 1.0 : 0.0));
    if (a.isNumber() && b.isString()) return a.number() == primitiveToNumber(b, swfVersion());
    if (a.isString() && b.isNumber()) return primitiveToNumber(a, swfVersion()) == b.number();
    // An object compares through valueOf; one without a valueOf (such as
    // _global) is undefined and so equals undefined and null.
    if (a.isObject()) {
        Value p = toPrimitiveNumber(a);
        return p.isPrimitive() && abstractEquals(p, b);
    }
    if (b.isObject()) {
        Value p = toPrimitiveNumber(b);
        return p.isPrimitive() && abstractEquals(a, p);
    }
    return false;
}

Value Vm::lessThan(const Value& a, const Value& b) {
    Value pa = toPrimitiveNumber(a);
    if (pa.isObject() && !isDisplayObject(pa)) return Value(false);
    Value pb = toPrimitiveNumber(b);
    if (pb.isObject() && !isDisplayObject(pb)) return Value(false);
    if (pa.isString() && pb.isString()) return Value(codePointLess(pa.string().view(), pb.string().view()));
    double x = primitiveToNumber(pa, swfVersion());
    double y = primitiveToNumber(pb, swfVersion());
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value(x < y);
}

const char16_t* Vm::typeOf(const Value& v) const {
    if (!v.isObject()) return typeOfPrimitive(v);
    return v.object()->typeOf();
}

Value Vm::add(const Value& left, const Value& right) {
    // The right operand is converted first, as the Add2 action pops it first.
    Value x = toPrimitive(right);
    Value y = toPrimitive(left);
    if (x.isString() || y.isString()) {
        String sy = toString(y);
        String sx = toString(x);
        checkStringLength(sy.size() + sx.size());
        return Value(String::concat(sy, sx));
    }
    double ny = toNumber(y);
    double nx = toNumber(x);
    return Value(ny + nx);
}

}  // namespace kinolux::avm1
