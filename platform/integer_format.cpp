#include "platform/integer_format.h"

#include <algorithm>
#include <string_view>

namespace kinolux {

namespace {

struct NumberConversion {
    bool leftAlign = false;
    bool zeroPad = false;
    char signChar = 0;  // '+' or ' ' before a positive number
    size_t width = 0;
};

std::string FormatOne(long long value, const NumberConversion& conversion) {
    // Digits of the magnitude, built by hand: unsigned, so the most negative
    // value has one too.
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value) : value;
    char digits[24];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const char sign = value < 0 ? '-' : conversion.signChar;
    const size_t length = count + (sign ? 1 : 0);
    const size_t padding = conversion.width > length ? conversion.width - length : 0;
    const bool zeros = conversion.zeroPad && !conversion.leftAlign;
    std::string out;
    if (!conversion.leftAlign && !zeros) out.append(padding, ' ');
    if (sign) out += sign;
    if (zeros) out.append(padding, '0');
    while (count > 0) out += digits[--count];
    if (conversion.leftAlign) out.append(padding, ' ');
    return out;
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
        NumberConversion conversion;
        size_t j = i + 1;
        for (; j < format.size() && std::string_view("-0+ ").find(format[j]) != std::string_view::npos; ++j) {
            if (format[j] == '-') conversion.leftAlign = true;
            if (format[j] == '0') conversion.zeroPad = true;
            if (format[j] == '+') conversion.signChar = '+';
            if (format[j] == ' ' && conversion.signChar == 0) conversion.signChar = ' ';
        }
        for (; j < format.size() && format[j] >= '0' && format[j] <= '9'; ++j)
            conversion.width = std::min(kMaxWidth, conversion.width * 10 + static_cast<size_t>(format[j] - '0'));
        bool isNumber = j < format.size() && (format[j] == 'd' || format[j] == 'i' || format[j] == 'u');
        if (!isNumber || next == values.end()) {
            out += '%';  // kept as it stands; the rest is copied as plain text
            ++i;
            continue;
        }
        out += FormatOne(*next++, conversion);
        i = j + 1;
    }
    return out;
}

}  // namespace kinolux
