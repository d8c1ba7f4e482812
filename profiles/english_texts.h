// The program's own English text of every language-pack key: the default
// that GetText falls back to when the current pack lacks a key.
#pragma once

#include <span>
#include <string_view>

namespace kinolux {

struct EnglishText {
    const char* section;  // a dialog's template name, e.g. "MAIN_DLG"
    const char* key;
    const char* text;     // with real line feeds, as shown
};

std::span<const EnglishText> EnglishTexts();

// The English text of a key, or "" when the program has none. Names compare
// as a language pack's do: without regard to case or surrounding blanks.
std::string_view EnglishDefault(std::string_view section, std::string_view key);

}  // namespace kinolux
