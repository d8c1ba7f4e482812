#include "platform/integer_format.h"

#include <algorithm>
#include <string_view>

namespace kinolux {

namespace {

struct NumberSpec {
    bool leftAlign = false;
    bool zeroPad = false;
    char signChar = 0;  // '+' or ' ' before a positive number
    size_t width = 0;
};

std::string FormatOne(long long value, const NumberSpec& spec) {
    std::string digits = std::to_string(value);
    std::string sign;
    if (!digits.empty() && digits[0] == '-') {
        sign = "-";
        digits.erase(0, 1);
    } else if (spec.signChar) {
        sign = std::string(1, spec.signChar);
    }
    size_t length = sign.size() + digits.size();
    if (length >= spec.width) return sign + digits;
    std::string pad(spec.width - length, spec.zeroPad && !spec.leftAlign ? '0' : ' ');
    if (spec.leftAlign) return sign + digits + pad;
    return spec.zeroPad ? sign + pad + digits : pad + sign + digits;
}

}  // namespace

std::string FormatIntegers(std::string_view format, std::initializer_list<long long> values) {
    constexpr size_t kMaxWidth = 64;  // a language pack cannot ask for megabytes of padding
    std::string out;
    const long long* next = values.begin();
    size_t i = 0;
    while (i < format.size()) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        NumberSpec spec;
        size_t j = i + 1;
        for (; j < format.size() && std::string_view("-0+ ").find(format[j]) != std::string_view::npos; ++j) {
            if (format[j] == '-') spec.leftAlign = true;
            if (format[j] == '0') spec.zeroPad = true;
            if (format[j] == '+') spec.signChar = '+';
            if (format[j] == ' ' && spec.signChar == 0) spec.signChar = ' ';
        }
        for (; j < format.size() && format[j] >= '0' && format[j] <= '9'; ++j)
            spec.width = std::min(kMaxWidth, spec.width * 10 + static_cast<size_t>(format[j] - '0'));
        bool isNumber = j < format.size() && (format[j] == 'd' || format[j] == 'i' || format[j] == 'u');
        if (!isNumber || next == values.end()) {
            out += '%';  // kept as it stands; the rest is copied as plain text
            ++i;
            continue;
        }
        out += FormatOne(*next++, spec);
        i = j + 1;
    }
    return out;
}

}  // namespace kinolux
