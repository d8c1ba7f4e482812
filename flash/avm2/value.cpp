#include "flash/avm2/value.h"

#include <charconv>
#include <cmath>

#include "flash/avm1/number_format.h"

namespace kinolux::avm2 {

bool toBoolean(const Value& v) {
    switch (v.type()) {
    case Type::Undefined:
    case Type::Null: return false;
    case Type::Boolean: return v.boolean();
    case Type::Number: return v.number() != 0 && !std::isnan(v.number());
    case Type::String: return !v.string().empty();
    case Type::Object: return true;
    }
    return false;
}

std::uint32_t toUint32(double d) {
    if (!std::isfinite(d)) return 0;
    if (d >= 0 && d < 4294967296.0) return std::uint32_t(d);
    double m = std::fmod(std::trunc(d), 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return std::uint32_t(m);
}

std::int32_t toInt32(double d) {
    if (d >= -2147483648.0 && d <= 2147483647.0) return std::int32_t(d);
    return std::int32_t(toUint32(d));
}

double integerOf(double d) {
    if (std::isnan(d)) return 0;
    return std::trunc(d);
}

double numberOfString(const String& s) {
    std::u16string_view v = s.view();
    std::size_t a = 0, b = v.size();
    while (a < b && avm1::isNumberBlank(v[a])) ++a;
    while (b > a && avm1::isNumberBlank(v[b - 1])) --b;
    v = v.substr(a, b - a);
    if (v.empty()) return 0;
    if (v.size() > 2 && v[0] == u'0' && (v[1] == u'x' || v[1] == u'X')) {
        double n = 0;
        for (std::size_t i = 2; i < v.size(); ++i) {
            int digit = avm1::digitValue(v[i]);
            if (digit >= 16) return NAN;
            n = n * 16 + digit;
        }
        return n;
    }
    std::u16string_view body = v;
    bool negative = false;
    if (!body.empty() && (body[0] == u'+' || body[0] == u'-')) {
        negative = body[0] == u'-';
        body.remove_prefix(1);
    }
    if (body == u"Infinity") return negative ? -INFINITY : INFINITY;
    return avm1::parseDecimal(v, true);
}

// ECMAScript's Number to String: the shortest digits that read back as the
// same number, in exponent form from 1e21 and below 1e-6.
String numberToString(double d) {
    if (std::isnan(d)) return String(u"NaN");
    if (std::isinf(d)) return String(d > 0 ? u"Infinity" : u"-Infinity");
    if (d == 0) return String(u"0");
    if (d >= -2147483648.0 && d <= 2147483647.0 && d == std::trunc(d))
        return String::fromAscii(std::to_string(std::int32_t(d)));
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    std::string out;
    if (sci[0] == '-') {
        out = "-";
        sci.erase(0, 1);
    }
    std::size_t e = sci.find('e');
    int exponent = std::stoi(sci.substr(e + 1));
    std::string digits;
    for (std::size_t i = 0; i < e; ++i)
        if (sci[i] != '.') digits.push_back(sci[i]);
    // The player writes numbers of 1e21 and up with at most 15 significant
    // digits, cut rather than rounded.
    if (std::abs(d) >= 1e21 && digits.size() > 15) {
        digits.resize(15);
        while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    }
    int k = int(digits.size()), n = exponent + 1;
    if (k <= n && n <= 21) {
        out += digits + std::string(std::size_t(n - k), '0');
    } else if (0 < n && n <= 21) {
        out += digits.substr(0, std::size_t(n)) + "." + digits.substr(std::size_t(n));
    } else if (-6 < n && n <= 0) {
        out += "0." + std::string(std::size_t(-n), '0') + digits;
    } else {
        out += digits.substr(0, 1);
        if (k > 1) out += "." + digits.substr(1);
        out += "e" + std::string(n - 1 >= 0 ? "+" : "-") + std::to_string(std::abs(n - 1));
    }
    return String::fromAscii(out);
}

}  // namespace kinolux::avm2
