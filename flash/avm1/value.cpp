#include "flash/avm1/value.h"

#include <cmath>

#include "flash/avm1/number_format.h"
#include "flash/avm1/object.h"

namespace kinolux::avm1 {

namespace {

// Integer text in the given radix, wrapping into 32 bits as the player's
// integer parser does; NaN when no digit or a stray character.
double parseWrappedInteger(std::u16string_view s, int radix) {
    bool negative = false;
    std::size_t p = 0;
    if (p < s.size() && (s[p] == u'-' || s[p] == u'+')) {
        negative = s[p] == u'-';
        ++p;
    }
    if (p == s.size()) return NAN;
    std::uint32_t value = 0;
    for (; p < s.size(); ++p) {
        int d = digitValue(s[p]);
        if (d >= radix) return NAN;
        value = value * static_cast<std::uint32_t>(radix) + static_cast<std::uint32_t>(d);
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

}  // namespace

double stringToNumber(std::u16string_view s, int swfVersion) {
    if (swfVersion >= 6) {
        std::u16string_view digits = s;
        if (!digits.empty() && (digits[0] == u'+' || digits[0] == u'-')) digits.remove_prefix(1);
        if (digits.size() >= 2 && digits[0] == u'0' && (digits[1] == u'x' || digits[1] == u'X')) {
            // The player skips two characters, so a signed "-0x10" fails.
            return parseWrappedInteger(s.substr(2), 16);
        }
        if (!digits.empty() && digits[0] == u'0') {
            bool octal = true;
            for (char16_t c : digits) octal = octal && c >= u'0' && c <= u'7';
            if (octal) return parseWrappedInteger(s, 8);
        }
    }
    bool strict = swfVersion >= 5;
    double result = parseDecimal(s, strict);
    if (!strict && std::isnan(result)) return 0;
    return result;
}

bool toBoolean(const Value& v, int swfVersion) {
    switch (v.type()) {
    case ValueType::Boolean: return v.boolean();
    case ValueType::Number: return !std::isnan(v.number()) && v.number() != 0;
    case ValueType::String: {
        if (swfVersion >= 7) return !v.string().empty();
        double n = stringToNumber(v.string().view(), swfVersion);
        return !std::isnan(n) && n != 0;
    }
    case ValueType::Object: return true;
    default: return false;
    }
}

double primitiveToNumber(const Value& v, int swfVersion) {
    switch (v.type()) {
    case ValueType::Undefined:
    case ValueType::Null: return swfVersion < 7 ? 0.0 : NAN;
    case ValueType::Boolean: return v.boolean() ? 1.0 : 0.0;
    case ValueType::Number: return v.number();
    case ValueType::String: return stringToNumber(v.string().view(), swfVersion);
    case ValueType::Object: return swfVersion < 5 ? 0.0 : NAN;
    }
    return NAN;
}

String primitiveToString(const Value& v, int swfVersion) {
    switch (v.type()) {
    case ValueType::Undefined: return swfVersion < 7 ? String() : String(u"undefined");
    case ValueType::Null: return String(u"null");
    case ValueType::Boolean:
        if (swfVersion < 5) return String(v.boolean() ? u"1" : u"0");
        return String(v.boolean() ? u"true" : u"false");
    case ValueType::Number: return formatNumber(v.number());
    case ValueType::String: return v.string();
    case ValueType::Object: return String(u"[type Object]");
    }
    return {};
}

const char16_t* typeOfPrimitive(const Value& v) {
    switch (v.type()) {
    case ValueType::Undefined: return u"undefined";
    case ValueType::Null: return u"null";
    case ValueType::Boolean: return u"boolean";
    case ValueType::Number: return u"number";
    case ValueType::String: return u"string";
    case ValueType::Object: return u"object";
    }
    return u"undefined";
}

bool strictEquals(const Value& a, const Value& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
    case ValueType::Undefined:
    case ValueType::Null: return true;
    case ValueType::Boolean: return a.boolean() == b.boolean();
    case ValueType::Number:
        // The player's strict equality holds NaN equal to NaN.
        return a.number() == b.number() || (std::isnan(a.number()) && std::isnan(b.number()));
    case ValueType::String: return a.string() == b.string();
    case ValueType::Object: return a.object() == b.object();
    }
    return false;
}

std::uint32_t toUint32(double d) {
    if (!std::isfinite(d)) return 0;
    if (d >= 0 && d < 4294967296.0) return static_cast<std::uint32_t>(d);
    double m = std::fmod(std::trunc(d), 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<std::uint32_t>(m);
}

std::int32_t toInt32(double d) {
    if (d >= -2147483648.0 && d <= 2147483647.0) return static_cast<std::int32_t>(d);
    return static_cast<std::int32_t>(toUint32(d));
}

std::uint16_t toUint16(double d) { return static_cast<std::uint16_t>(toUint32(d)); }

double toInteger(double d) {
    if (std::isnan(d)) return 0;
    return std::trunc(d);
}

}  // namespace kinolux::avm1
