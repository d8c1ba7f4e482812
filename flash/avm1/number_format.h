// Numbers to text and text to numbers, digit for digit as the Flash player
// does it (its rounding quirks included, because movies print numbers).
#pragma once

#include <string>
#include <string_view>

#include "flash/avm1/string.h"

namespace kinolux::avm1 {

// 15 significant digits, exponent form from 1e15 and below 1e-5 ("1e+21",
// "1.5e-7"), "NaN", "Infinity", "-Infinity".
String formatNumber(double n);
// Number.prototype.toString(radix) for radix 2..36 other than 10: the
// integer part; values outside 32 bits, NaN and the infinities print as the
// smallest 32-bit integer, as in the player.
String formatNumberRadix(double n, int radix);

// The decimal reader behind Number() and parseFloat(): leading blanks, a
// sign, digits with one point, an exponent. With strict set, anything left
// over makes the result NaN; otherwise it is ignored. NaN when no digit.
double parseDecimal(std::u16string_view s, bool strict);

// Whether c counts as a blank that number parsing skips.
bool isNumberBlank(char16_t c);

// c as a digit of a radix up to 36 (letters of either case from 10 on);
// 36 or more when it is no digit at all.
int digitValue(char16_t c);

}  // namespace kinolux::avm1
