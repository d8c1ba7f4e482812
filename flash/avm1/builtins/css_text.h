// Style sheet text as TextField.StyleSheet reads it: rules of selectors
// and declarations, with the player's leniencies (a value keeps the blanks
// before its end) and its refusals (a rule without braces spoils the whole
// text).
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "flash/avm1/host.h"
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

// A style's name as a sheet keeps it: in lower case.
String styleName(std::u16string_view name);

// "font-size" as "fontSize".
String cssPropertyName(std::u16string_view name);

// What a style stands for as a TextFormat, read as the player's transform
// reads it. A property the style leaves out, or gives as empty text, leaves
// its field unset; a number the player cannot read becomes its own odd
// value (the least int for margins, NaN for letter spacing), not unset.
struct CssFormat {
    TextFormat format;
    // "inline", "block" or "none"; nullopt for a word the player does not
    // know.
    std::optional<String> display = String(u"block");
    // The style names an alignment TextFormat refuses.
    bool badAlign = false;
};
// `property` gives a style's property (in script spelling) as text, or
// nothing when the style has none.
using CssProperty = std::function<std::optional<std::u16string>(std::u16string_view name)>;
CssFormat formatOfStyle(const CssProperty& property);

}  // namespace kinolux::avm1::builtins
