// Comparisons that ignore letter case the way Windows compares INI names,
// registry names and codec names: ASCII letters only, every other byte as is.
#pragma once

#include <string>
#include <string_view>

namespace kinolux {

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Leading and trailing blanks, tabs and line-end characters removed.
std::string_view TrimBlanks(std::string_view text);

}  // namespace kinolux
