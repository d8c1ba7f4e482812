// The values of ActionScript 3: undefined, null, booleans, numbers (int,
// uint and Number all held as a double), strings and objects. Objects
// belong to the machine that made them; a value only points at one.
#pragma once

#include <cstdint>
#include <string>

#include "flash/avm1/string.h"

namespace kinolux::avm2 {

using String = kinolux::avm1::String;
class Object;

enum class Type : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

class Value {
public:
    Value() = default;
    Value(bool b) : type_(Type::Boolean), b_(b) {}
    Value(double d) : type_(Type::Number), d_(d) {}
    Value(int i) : type_(Type::Number), d_(i) {}
    Value(std::uint32_t u) : type_(Type::Number), d_(u) {}
    Value(String s) : type_(Type::String), s_(std::move(s)) {}
    Value(const char16_t* s) : type_(Type::String), s_(s) {}
    Value(Object* o) : type_(o ? Type::Object : Type::Null), o_(o) {}
    static Value null() {
        Value v;
        v.type_ = Type::Null;
        return v;
    }
    // An Array's missing element: undefined to every reader, but an index
    // that holds one is not a property of the array.
    static Value hole() {
        Value v;
        v.b_ = true;
        return v;
    }

    Type type() const { return type_; }
    bool isUndefined() const { return type_ == Type::Undefined; }
    bool isNull() const { return type_ == Type::Null; }
    bool isNullish() const { return type_ <= Type::Null; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isString() const { return type_ == Type::String; }
    bool isObject() const { return type_ == Type::Object; }
    bool isBoolean() const { return type_ == Type::Boolean; }
    bool isHole() const { return type_ == Type::Undefined && b_; }

    bool boolean() const { return b_; }
    double number() const { return d_; }
    const String& string() const { return s_; }
    Object* object() const { return type_ == Type::Object ? o_ : nullptr; }

private:
    Type type_ = Type::Undefined;
    union {
        bool b_;
        double d_ = 0;
        Object* o_;
    };
    String s_;
};

// The ECMAScript conversions, for values that are not objects (objects go
// through the machine, which may call their valueOf and toString).
bool toBoolean(const Value& v);
std::int32_t toInt32(double d);
std::uint32_t toUint32(double d);
double integerOf(double d);  // ToInteger
double numberOfString(const String& s);
String numberToString(double d);

}  // namespace kinolux::avm2
