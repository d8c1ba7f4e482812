// Style sheet text as TextField.StyleSheet reads it: rules of selectors
// and declarations, with the player's leniencies (a value keeps the blanks
// before its end) and its refusals (a rule without braces spoils the whole
// text).
#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "flash/avm1/string.h"

namespace kinolux::avm1::builtins {

struct CssRule {
    // In lower case, as the sheet keeps them.
    std::vector<String> selectors;
    // Names in the scripts' spelling ("font-size" as "fontSize"), in order.
    std::vector<std::pair<String, String>> declarations;
};

// The rules of the text, or nothing when it is not a style sheet.
std::optional<std::vector<CssRule>> parseCss(std::u16string_view text);

// "font-size" as "fontSize".
String cssPropertyName(std::u16string_view name);

}  // namespace kinolux::avm1::builtins
