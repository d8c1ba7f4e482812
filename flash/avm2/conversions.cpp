#include <cmath>

#include "flash/avm2/builtins/xml.h"
#include "flash/avm2/vm.h"

namespace kinolux::avm2 {

Value Vm::toPrimitive(const Value& v, bool preferString) {
    if (!v.isObject()) return v;
    // An XML's properties are its children: its text comes from the class itself.
    if (Object* o = v.object(); o->kind == ObjectKind::Xml)
        return Value(xmlToString(*this, static_cast<XmlObject*>(o)));
    else if (o->kind == ObjectKind::XmlList)
        return Value(xmlListToString(*this, static_cast<XmlListObject*>(o)));
    const char16_t* order[2] = {u"valueOf", u"toString"};
    if (preferString) std::swap(order[0], order[1]);
    for (const char16_t* name : order) {
        Value f = getPublic(v, name);
        if (!f.object()) continue;
        Value r = call(f, v, {});
        if (!r.isObject()) return r;
    }
    throwError(ErrorType::TypeError,
               "Error #1050: Cannot convert " + classOf(v)->qualifiedName().toUtf8() + " to primitive.", 1050);
}

double Vm::toNumber(const Value& v) {
    switch (v.type()) {
    case Type::Undefined: return NAN;
    case Type::Null: return 0;
    case Type::Boolean: return v.boolean() ? 1 : 0;
    case Type::Number: return v.number();
    case Type::String: return numberOfString(v.string());
    case Type::Object: return toNumber(toPrimitive(v, false));
    }
    return NAN;
}

String Vm::toString(const Value& v) {
    switch (v.type()) {
    case Type::Undefined: return String(u"undefined");
    case Type::Null: return String(u"null");
    case Type::Boolean: return String(v.boolean() ? u"true" : u"false");
    case Type::Number: return numberToString(v.number());
    case Type::String: return v.string();
    case Type::Object: return toString(toPrimitive(v, true));
    }
    return String();
}

bool Vm::strictEquals(const Value& a, const Value& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
    case Type::Undefined:
    case Type::Null: return true;
    case Type::Boolean: return a.boolean() == b.boolean();
    case Type::Number: return a.number() == b.number();
    case Type::String: return a.string() == b.string();
    case Type::Object: return a.object() == b.object();
    }
    return false;
}

bool Vm::equals(const Value& a, const Value& b) {
    if (isXmlValue(a) || isXmlValue(b)) return xmlEquals(*this, a, b);
    if (a.type() == b.type()) return strictEquals(a, b);
    if (a.isNullish() && b.isNullish()) return true;
    if (a.isNullish() || b.isNullish()) return false;
    if (a.isNumber() && b.isString()) return a.number() == toNumber(b);
    if (a.isString() && b.isNumber()) return toNumber(a) == b.number();
    if (a.isBoolean()) return equals(Value(a.boolean() ? 1.0 : 0.0), b);
    if (b.isBoolean()) return equals(a, Value(b.boolean() ? 1.0 : 0.0));
    if (a.isObject() && !b.isObject()) return equals(toPrimitive(a, false), b);
    if (b.isObject() && !a.isObject()) return equals(a, toPrimitive(b, false));
    return false;
}

Value Vm::lessThan(const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) {
        if (std::isnan(a.number()) || std::isnan(b.number())) return Value();
        return Value(a.number() < b.number());
    }
    Value pa = toPrimitive(a, false), pb = toPrimitive(b, false);
    if (pa.isString() && pb.isString()) return Value(pa.string().view() < pb.string().view());
    double x = toNumber(pa), y = toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value(x < y);
}

String Vm::typeOf(const Value& v) {
    switch (v.type()) {
    case Type::Undefined: return String(u"undefined");
    case Type::Null: return String(u"object");
    case Type::Boolean: return String(u"boolean");
    case Type::Number: return String(u"number");
    case Type::String: return String(u"string");
    case Type::Object:
        if (isXmlValue(v)) return String(u"xml");
        return String(v.object()->kind == ObjectKind::Function ? u"function" : u"object");
    }
    return String();
}

String Vm::concat(const String& a, const String& b) {
    if (a.size() + b.size() > limits_.maxStringLength) throw avm1::ScriptAbort(avm1::LimitMessage::kString, false);
    return String::concat(a, b);
}

Value Vm::add(const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) return Value(a.number() + b.number());
    if (a.isString() && b.isString()) return Value(concat(a.string(), b.string()));
    // Beside a string, an object gives its string (toString before valueOf).
    if (a.isString() || b.isString()) return Value(concat(toString(a), toString(b)));
    if (isXmlValue(a) && isXmlValue(b)) return xmlAdd(*this, a, b);
    bool aDate = a.object() && a.object()->kind == ObjectKind::Date,
         bDate = b.object() && b.object()->kind == ObjectKind::Date;
    Value pa = toPrimitive(a, aDate), pb = toPrimitive(b, bDate);
    if (pa.isString() || pb.isString()) return Value(concat(toString(pa), toString(pb)));
    return Value(toNumber(pa) + toNumber(pb));
}

Class* Vm::classOf(const Value& v) {
    switch (v.type()) {
    case Type::Boolean: return builtins_.boolean;
    case Type::Number: {
        double d = v.number();
        if (d == std::trunc(d) && d >= -2147483648.0 && d <= 2147483647.0 && !(d == 0 && std::signbit(d)))
            return builtins_.intClass;
        return builtins_.number;
    }
    case Type::String: return builtins_.string;
    case Type::Object: return v.object()->kind == ObjectKind::Class ? builtins_.cls : v.object()->cls;
    default: return builtins_.object;
    }
}

bool Vm::isType(const Value& v, Class* type) {
    if (!type) return true;
    const Builtins& b = builtins_;
    if (v.isNumber()) {
        double d = v.number();
        if (type == b.intClass) return d == std::trunc(d) && d >= -2147483648.0 && d <= 2147483647.0;
        if (type == b.uintClass) return d == std::trunc(d) && d >= 0 && d <= 4294967295.0;
        return type == b.number || type == b.object;
    }
    if (v.isString()) return type == b.string || type == b.object;
    if (v.isBoolean()) return type == b.boolean || type == b.object;
    if (!v.isObject()) return false;
    Class* c = classOf(v);
    return c && c->isSubclassOf(type);
}

Value Vm::coerceTo(const Value& v, Class* type) {
    const Builtins& b = builtins_;
    if (!type || type == b.object) return v.isUndefined() && type ? Value::null() : v;
    if (type == b.intClass) return Value(double(toInt32(toNumber(v))));
    if (type == b.uintClass) return Value(double(toUint32(toNumber(v))));
    if (type == b.number) return Value(toNumber(v));
    if (type == b.boolean) return Value(toBoolean(v));
    if (type == b.string) return v.isNullish() ? Value::null() : Value(toString(v));
    if (v.isNullish()) return Value::null();
    if (isType(v, type)) return v;
    // Objects are named by class, as the player does, without running their toString.
    std::string what = v.isObject() ? classOf(v)->qualifiedName().toUtf8() + "@" +
                                          std::to_string(reinterpret_cast<std::uintptr_t>(v.object()) & 0xFFFFFF)
                                    : toString(v).toUtf8();
    throwError(
        ErrorType::TypeError,
        "Error #1034: Type Coercion failed: cannot convert " + what + " to " + type->qualifiedName().toUtf8() + ".",
        1034);
}

}  // namespace kinolux::avm2
