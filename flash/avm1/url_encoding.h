// URL encoding as escape(), unescape(), loadVariables and LoadVars use it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "flash/avm1/string.h"

namespace kinolux::avm1 {

// escape(): every byte of the UTF-8 form except letters and digits as %XX.
String escapeUrl(const String& s);
// The same over bytes.
std::string escapeBytes(std::string_view bytes);
// unescape(): %XX bytes and '+' as a blank, read back as UTF-8.
String unescapeUrl(const String& s);
// "a=1&b=two%20words" as name/value pairs, in order.
std::vector<std::pair<String, String>> decodeUrlVariables(std::string_view text, int swfVersion);
// The reverse, for sending variables.
std::string encodeUrlVariables(const std::vector<std::pair<String, String>>& variables);

}  // namespace kinolux::avm1
