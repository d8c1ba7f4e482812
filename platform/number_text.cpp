#include "platform/number_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace kinolux {

std::string FormatFixed(double value, int decimals) {
    char buffer[512];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    return std::string(buffer, result.ptr);
}

std::string FormatFloatSixDecimals(float value) {
    char shortest[64];
    auto result = std::to_chars(shortest, shortest + sizeof shortest, value);
    double decimal = 0.0;
    std::from_chars(shortest, result.ptr, decimal);
    return FormatFixed(decimal, 6);
}

double ParseLeadingDouble(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i < text.size() && text[i] == '-') return 0.0;  // "+-1" is no number
    double value = 0.0;
    auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (result.ec != std::errc()) return 0.0;  // no number, or one beyond a double
    return negative ? -value : value;
}

}  // namespace kinolux
