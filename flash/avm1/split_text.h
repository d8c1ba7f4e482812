// Lists in movies' text are pieces between separators: "a,b" names,
// "x=1&y=2" variables, CSS selectors and declarations.
#pragma once

#include <string_view>
#include <vector>

namespace kinolux::avm1 {

// Every piece, empty ones too: "a,,b" gives a, "" and b; a trailing
// separator gives a last empty piece, and "" gives one empty piece.
template <class Char>
std::vector<std::basic_string_view<Char>> splitText(std::basic_string_view<Char> text, Char separator) {
    std::vector<std::basic_string_view<Char>> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        if (end == std::basic_string_view<Char>::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace kinolux::avm1
