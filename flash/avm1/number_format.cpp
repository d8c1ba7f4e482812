#include "flash/avm1/number_format.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace kinolux::avm1 {

namespace {

// value * 10^exp by repeated squaring, multiplying or dividing as the player
// does; the exact rounding of every step shows in printed digits.
double shiftDecimal(double value, int exp) {
    double base = 10.0;
    if (exp > 0) {
        while (exp > 0) {
            if (exp & 1) value *= base;
            exp >>= 1;
            base *= base;
        }
    } else {
        unsigned int e = exp == INT32_MIN ? 0x80000000u : static_cast<unsigned int>(-exp);
        while (e > 0) {
            if (e & 1) value /= base;
            e >>= 1;
            base *= base;
        }
    }
    return value;
}

int binaryExponent(double n) {
    std::uint64_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    return static_cast<int>((bits >> 52) & 0x7FF) - 1023;
}

}  // namespace

bool isNumberBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C;
}

int digitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'z') return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
    return 99;
}

String formatNumber(double n) {
    if (std::isnan(n)) return String(u"NaN");
    if (std::isinf(n)) return String(n > 0 ? u"Infinity" : u"-Infinity");
    if (n == 0) return String(u"0");
    if (n >= -2147483648.0 && n <= 2147483647.0 && n == std::trunc(n))
        return String::fromAscii(std::to_string(static_cast<std::int32_t>(n)));

    std::string buf;
    bool negative = n < 0;
    if (negative) {
        n = -n;
        buf.push_back('-');
    }
    int exp2 = binaryExponent(n);
    if (exp2 == -1023) exp2 = binaryExponent(n * 18014398509481984.0) - 54;  // subnormal
    int exp = static_cast<int>(std::round(exp2 * 0.301029995663981));
    double mantissa = shiftDecimal(n, -exp);
    if (static_cast<int>(mantissa) == 0) {
        --exp;
        mantissa = shiftDecimal(n, -exp);
    }
    if (static_cast<int>(mantissa) >= 10) {
        ++exp;
        mantissa = shiftDecimal(n, -exp);
    }
    auto digit = [&mantissa]() {
        int d = static_cast<int>(mantissa);
        mantissa -= d;
        mantissa *= 10.0;
        return static_cast<char>('0' + d);
    };

    constexpr int kDigits = 15;
    if (exp >= 15) {
        buf.push_back(digit());
        buf.push_back('.');
        for (int i = 0; i < kDigits - 1; ++i) buf.push_back(digit());
    } else if (exp >= 0) {
        buf.push_back('0');  // room for a carry out of the first digit
        for (int i = 0; i <= exp; ++i) buf.push_back(digit());
        buf.push_back('.');
        for (int i = 0; i < kDigits - exp - 1; ++i) buf.push_back(digit());
        exp = 0;
    } else if (exp >= -5) {
        buf += "00.";
        buf.append(static_cast<std::size_t>(-exp - 1), '0');
        for (int i = 0; i < kDigits; ++i) buf.push_back(digit());
        exp = 0;
    } else {
        buf.push_back('0');
        char first = digit();
        if (first != '0') buf.push_back(first);
        buf.push_back('.');
        for (int i = 0; i < kDigits - 1; ++i) buf.push_back(digit());
    }

    // Round half away from zero on the next digit, carrying through nines.
    if (digit() >= '5') {
        for (auto it = buf.rbegin(); it != buf.rend(); ++it) {
            if (*it == '9') {
                *it = '0';
            } else if (*it >= '0') {
                ++*it;
                break;
            }
        }
    }
    while (!buf.empty() && buf.back() == '0') buf.pop_back();
    if (!buf.empty() && buf.back() == '.') buf.pop_back();

    if (exp != 0) {
        std::size_t lead = buf.find_first_not_of('0');
        if (lead == std::string::npos) lead = buf.size();
        buf.erase(0, lead);
        if (buf.empty()) {
            buf.push_back('1');  // 9.999... rounded to nothing
            ++exp;
        } else {
            std::size_t last = buf.find_last_not_of('0');
            if (last == 0 || last == std::string::npos) {
                exp += static_cast<int>(buf.size()) - 1;
                buf.resize(1);
            }
        }
        buf += exp > 0 ? "e+" : "e-";
        buf += std::to_string(exp > 0 ? exp : -exp);
    }

    std::size_t start = 0;
    std::size_t i = negative ? 1 : 0;
    if (buf.size() > i && buf[i] == '0' && (buf.size() <= i + 1 || buf[i + 1] != '.')) {
        if (i > 0) buf[i] = buf[i - 1];
        start = 1;
    }
    return String::fromAscii(std::string_view(buf).substr(start));
}

String formatNumberRadix(double n, int radix) {
    std::int32_t v = INT32_MIN;
    if (std::isfinite(n) && n > -2147483649.0 && n < 2147483648.0) v = static_cast<std::int32_t>(n);
    // The player negates in 32 bits, so the smallest integer stays negative
    // and its digits come out below '0' ("-/000..."); kept for fidelity.
    bool negative = v < 0;
    if (negative) v = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v));
    std::string digits;
    do {
        int d = v % radix;
        digits.push_back(static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10));
        v /= radix;
    } while (v != 0);
    if (negative) digits.push_back('-');
    return String::fromAscii(std::string(digits.rbegin(), digits.rend()));
}

double parseDecimal(std::u16string_view s, bool strict) {
    std::size_t p = 0;
    while (p < s.size() && isNumberBlank(s[p])) ++p;
    bool negative = false;
    if (p < s.size() && (s[p] == u'-' || s[p] == u'+')) {
        negative = s[p] == u'-';
        ++p;
    }
    const std::size_t afterSign = p;
    auto isDigit = [&](std::size_t i) { return i < s.size() && s[i] >= u'0' && s[i] <= u'9'; };
    while (isDigit(p)) ++p;
    int exp = static_cast<int>(p - afterSign) - 1;
    if (p < s.size() && s[p] == u'.') {
        ++p;
        while (isDigit(p)) ++p;
    }
    if (p == afterSign) return NAN;
    if (p < s.size() && (s[p] == u'e' || s[p] == u'E')) {
        ++p;
        bool expNegative = false;
        if (p < s.size() && (s[p] == u'-' || s[p] == u'+')) {
            expNegative = s[p] == u'-';
            ++p;
        }
        std::uint32_t e = 0;
        while (isDigit(p)) e = e * 10u + static_cast<std::uint32_t>(s[p++] - u'0');
        auto exponent = static_cast<std::int32_t>(e);
        if (expNegative) exponent = static_cast<std::int32_t>(0u - e);
        exp = static_cast<int>(static_cast<std::uint32_t>(exp) + static_cast<std::uint32_t>(exponent));
    }
    if (strict && p != s.size()) return NAN;

    double result = 0;
    for (std::size_t i = afterSign; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c >= u'0' && c <= u'9') {
            result += shiftDecimal(c - u'0', exp);
            exp = static_cast<int>(static_cast<std::uint32_t>(exp) - 1u);
        } else if (c != u'.') {
            break;
        }
    }
    return negative ? -result : result;
}

}  // namespace kinolux::avm1
