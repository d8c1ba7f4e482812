// The profile-string functions on INI files by path: a missing file, section
// or key reads as the default and is never an error.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kinolux {

std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view fallback);

// The decimal number at the start of the value (an optional sign, then
// digits; "12abc" is 12, "abc" is 0, out-of-range values are clamped);
// `fallback` when the key is absent or empty.
int ReadIniInt(const std::string& path, std::string_view section, std::string_view key, int fallback);

// Writes one key and keeps every other line of the file. False when the
// file could not be written or the text cannot be stored in a line.
bool WriteIniString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value);

std::vector<std::string> ReadIniSectionNames(const std::string& path);

// The conversion used by ReadIniInt, on a value already read.
int ParseIniInt(std::string_view value, int fallback);

}  // namespace kinolux
