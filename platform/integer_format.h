// Filling a format text that comes from a language pack with whole numbers.
// The text is outside input: it must never reach printf, where a stray "%s"
// or "%n" would read or write memory that is not there.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kinolux {

// Like printf with the values given, for "%d", "%i" and "%u" (with the flags
// "-", "0", "+", " " and a width) and "%%". Every other "%" sequence, and a
// number conversion past the last value, is kept as it stands.
std::string FormatIntegers(std::string_view format, std::initializer_list<long long> values);

}  // namespace kinolux
