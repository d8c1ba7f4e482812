// The system language: Windows language identifiers (a 10-bit primary
// language and a 6-bit sublanguage), the two tables of their English names
// that pick the default language pack, and the mapping from the POSIX
// locale of the environment to an identifier.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kinolux {

struct LanguageName {
    uint8_t id;
    const char* name;
};

// 63 primary languages in the order of their identifiers ("English" is 9).
std::span<const LanguageName> PrimaryLanguageNames();
// 90 sublanguages in Windows' order ("English (US)" is 1, "English (UK)" 2).
std::span<const LanguageName> SublanguageNames();

// primary | sub << 10, as Windows builds a language identifier.
constexpr uint16_t MakeLanguageId(unsigned primary, unsigned sub) {
    return static_cast<uint16_t>((primary & 0x3FF) | (sub << 10));
}

// The identifier for a locale name such as "en_US.UTF-8" or "de_CH";
// 0 (neutral) for "C", "POSIX", empty or unknown languages.
uint16_t LanguageIdOfLocale(std::string_view locale);

// The identifier of the environment's locale: LC_ALL, else LC_MESSAGES,
// else LANG, the first that is set and not empty.
uint16_t SystemLanguageId();

}  // namespace kinolux
