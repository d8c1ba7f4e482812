// The values a script handles: undefined, null, boolean, number, string and
// object (functions and display objects are objects).
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "flash/avm1/gc.h"
#include "flash/avm1/string.h"

namespace kinolux::avm1 {

class Object;
using ObjectRef = Ref<Object>;

enum class ValueType : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

class Value {
public:
    Value() : type_(ValueType::Undefined), n_(0) {}
    Value(bool b) : type_(ValueType::Boolean), b_(b) {}
    Value(double n) : type_(ValueType::Number), n_(n) {}
    Value(int n) : type_(ValueType::Number), n_(n) {}
    Value(std::uint32_t n) : type_(ValueType::Number), n_(n) {}
    Value(std::int64_t n) : type_(ValueType::Number), n_(static_cast<double>(n)) {}
    Value(std::size_t n) : type_(ValueType::Number), n_(static_cast<double>(n)) {}
    Value(String s) : type_(ValueType::String) { new (&s_) String(std::move(s)); }
    Value(const char16_t* s) : Value(String(s)) {}
    // A narrow string would otherwise become a boolean (true): say
    // String::fromAscii / fromUtf8, or u"..." for text, and bool for a flag.
    Value(const char* s) = delete;
    Value(Object* o);
    Value(const ObjectRef& o) : Value(o.get()) {}
    static Value null() {
        Value v;
        v.type_ = ValueType::Null;
        return v;
    }

    Value(const Value& o) : type_(o.type_) { copyFrom(o); }
    Value(Value&& o) noexcept : type_(o.type_) { moveFrom(std::move(o)); }
    Value& operator=(const Value& o) {
        if (this != &o) {
            Value copy(o);
            *this = std::move(copy);
        }
        return *this;
    }
    Value& operator=(Value&& o) noexcept {
        if (this != &o) {
            destroy();
            type_ = o.type_;
            moveFrom(std::move(o));
        }
        return *this;
    }
    ~Value() { destroy(); }

    ValueType type() const { return type_; }
    bool isUndefined() const { return type_ == ValueType::Undefined; }
    bool isNull() const { return type_ == ValueType::Null; }
    bool isNullish() const { return type_ <= ValueType::Null; }
    bool isBoolean() const { return type_ == ValueType::Boolean; }
    bool isNumber() const { return type_ == ValueType::Number; }
    bool isString() const { return type_ == ValueType::String; }
    bool isObject() const { return type_ == ValueType::Object; }
    bool isPrimitive() const { return type_ != ValueType::Object; }

    bool boolean() const { return b_; }
    double number() const { return n_; }
    const String& string() const { return s_; }
    Object* object() const;  // defined in object.h
    ObjectRef objectRef() const;

private:
    void copyFrom(const Value& o) {
        switch (type_) {
        case ValueType::String: new (&s_) String(o.s_); break;
        case ValueType::Object: cell_ = o.cell_; cell_->retain(); break;
        default: n_ = o.n_; break;
        }
    }
    void moveFrom(Value&& o) {
        switch (type_) {
        case ValueType::String: new (&s_) String(std::move(o.s_)); break;
        case ValueType::Object: cell_ = o.cell_; o.cell_ = nullptr; o.type_ = ValueType::Undefined; break;
        default: n_ = o.n_; break;
        }
    }
    void destroy() {
        if (type_ == ValueType::String) s_.~String();
        else if (type_ == ValueType::Object && cell_) cell_->release();
    }

    ValueType type_;
    union {
        bool b_;
        double n_;
        const GcCell* cell_;
        String s_;
    };
};

// Conversions that never run script code. The ones that may call valueOf or
// toString are members of Vm (vm.h, conversions.cpp).
bool toBoolean(const Value& v, int swfVersion);
// ToNumber of a primitive (objects give NaN here; see Vm::toNumber).
double primitiveToNumber(const Value& v, int swfVersion);
// ToString of a primitive.
String primitiveToString(const Value& v, int swfVersion);
// Number parsing as Number() does it: "0x1F" and octal from SWF 6.
double stringToNumber(std::u16string_view s, int swfVersion);
const char16_t* typeOfPrimitive(const Value& v);
// Strict equality (the StrictEquals action): same type and same value
// (NaN equals NaN, as in the player).
bool strictEquals(const Value& a, const Value& b);

// ECMA-262 ToInt32 / ToUint32 / ToUint16: wrap modulo 2^n.
std::int32_t toInt32(double d);
std::uint32_t toUint32(double d);
std::uint16_t toUint16(double d);
// ToInteger: truncation toward zero, NaN to 0.
double toInteger(double d);

}  // namespace kinolux::avm1
