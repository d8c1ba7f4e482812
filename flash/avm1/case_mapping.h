// The player's letter case mappings for String.toLowerCase / toUpperCase
// (one UTF-16 unit to one; characters without a mapping stay as they are).
#pragma once

namespace kinolux::avm1 {

char16_t toLowerCase(char16_t c);
char16_t toUpperCase(char16_t c);

}  // namespace kinolux::avm1
