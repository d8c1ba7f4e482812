#include "profiles/language_tables.h"

#include <array>
#include <cstdlib>
#include <string>

namespace kinolux {

namespace {

constexpr std::array<LanguageName, 63> kPrimary = {{
    {0x00, "Neutral"},    {0x01, "Arabic"},     {0x02, "Bulgarian"},  {0x03, "Catalan"},
    {0x04, "Chinese"},    {0x05, "Czech"},      {0x06, "Danish"},     {0x07, "German"},
    {0x08, "Greek"},      {0x09, "English"},    {0x0a, "Spanish"},    {0x0b, "Finnish"},
    {0x0c, "French"},     {0x0d, "Hebrew"},     {0x0e, "Hungarian"},  {0x0f, "Icelandic"},
    {0x10, "Italian"},    {0x11, "Japanese"},   {0x12, "Korean"},     {0x13, "Dutch"},
    {0x14, "Norwegian"},  {0x15, "Polish"},     {0x16, "Portuguese"}, {0x18, "Romanian"},
    {0x19, "Russian"},    {0x1a, "Croatian"},   {0x1b, "Slovak"},     {0x1c, "Albanian"},
    {0x1d, "Swedish"},    {0x1e, "Thai"},       {0x1f, "Turkish"},    {0x20, "Urdu"},
    {0x21, "Indonesian"}, {0x22, "Ukrainian"},  {0x23, "Belarusian"}, {0x24, "Slovenian"},
    {0x25, "Estonian"},   {0x26, "Latvian"},    {0x27, "Lithuanian"}, {0x29, "Farsi"},
    {0x2a, "Vietnamese"}, {0x2b, "Armenian"},   {0x2c, "Azeri"},      {0x2d, "Basque"},
    {0x2f, "Macedonian"}, {0x36, "Afrikaans"},  {0x37, "Georgian"},   {0x38, "Faeroese"},
    {0x39, "Hindi"},      {0x3e, "Malay"},      {0x3f, "Kazak"},      {0x41, "Swahili"},
    {0x43, "Uzbek"},      {0x44, "Tatar"},      {0x45, "Bengali"},    {0x46, "Punjabi"},
    {0x47, "Gujarati"},   {0x49, "Tamil"},      {0x4a, "Telugu"},     {0x4b, "Kannada"},
    {0x4c, "Malayalam"},  {0x4e, "Marathi"},    {0x57, "Konkani"},
}};

constexpr std::array<LanguageName, 90> kSublanguage = {{
    {0, "Language neutral"}, {1, "User Default"}, {2, "System Default"},
    {1, "Arabic (Saudi Arabia)"}, {2, "Arabic (Iraq)"}, {3, "Arabic (Egypt)"}, {4, "Arabic (Libya)"},
    {5, "Arabic (Algeria)"}, {6, "Arabic (Morocco)"}, {7, "Arabic (Tunisia)"}, {8, "Arabic (Oman)"},
    {9, "Arabic (Yemen)"}, {10, "Arabic (Syria)"}, {11, "Arabic (Jordan)"}, {12, "Arabic (Lebanon)"},
    {13, "Arabic (Kuwait)"}, {14, "Arabic (U.A.E.)"}, {15, "Arabic (Bahrain)"}, {16, "Arabic (Qatar)"},
    {1, "Azeri (Latin)"}, {2, "Azeri (Cyrillic)"},
    {1, "Chinese (Traditional)"}, {2, "Chinese (Simplified)"}, {3, "Chinese (Hong Kong)"},
    {4, "Chinese (Singapore)"}, {5, "Chinese (Macau)"},
    {1, "Dutch"}, {2, "Dutch (Belgian)"},
    {1, "English (US)"}, {2, "English (UK)"}, {3, "English (Australian)"}, {4, "English (Canadian)"},
    {5, "English (New Zealand)"}, {6, "English (Irish)"}, {7, "English (South Africa)"},
    {8, "English (Jamaica)"}, {9, "English (Caribbean)"}, {10, "English (Belize)"},
    {11, "English (Trinidad)"}, {12, "English (Zimbabwe)"}, {13, "English (Philippines)"},
    {1, "French"}, {2, "French (Belgian)"}, {3, "French (Canadian)"}, {4, "French (Swiss)"},
    {5, "French (Luxembourg)"}, {6, "French (Monaco)"},
    {1, "German"}, {2, "German (Swiss)"}, {3, "German (Austrian)"}, {4, "German (Luxembourg)"},
    {5, "German (Liechtenstein)"},
    {1, "Italian"}, {2, "Italian (Swiss)"},
    {1, "Korean"},
    {1, "Lithuanian"},
    {1, "Malay (Malaysia)"}, {2, "Malay (Brunei Darussalam)"},
    {1, "Norwegian (Bokmal)"}, {2, "Norwegian (Nynorsk)"},
    {2, "Portuguese"}, {1, "Portuguese (Brazilian)"},
    {2, "Serbian (Latin)"}, {3, "Serbian (Cyrillic)"},
    {1, "Spanish"}, {2, "Spanish (Mexican)"}, {3, "Spanish (Modern)"}, {4, "Spanish (Guatemala)"},
    {5, "Spanish (Costa Rica)"}, {6, "Spanish (Panama)"}, {7, "Spanish (Dominican Republic)"},
    {8, "Spanish (Venezuela)"}, {9, "Spanish (Colombia)"}, {10, "Spanish (Peru)"},
    {11, "Spanish (Argentina)"}, {12, "Spanish (Ecuador)"}, {13, "Spanish (Chile)"},
    {14, "Spanish (Uruguay)"}, {15, "Spanish (Paraguay)"}, {16, "Spanish (Bolivia)"},
    {17, "Spanish (El Salvador)"}, {18, "Spanish (Honduras)"}, {19, "Spanish (Nicaragua)"},
    {20, "Spanish (Puerto Rico)"},
    {1, "Swedish"}, {2, "Swedish (Finland)"},
    {1, "Urdu (Pakistan)"}, {2, "Urdu (India)"},
    {1, "Uzbek (Latin)"}, {2, "Uzbek (Cyrillic)"},
}};

// Locale language (and territory; "" for the language's default) to a
// primary language and sublanguage.
struct LocaleRow {
    const char* language;
    const char* territory;
    uint8_t primary;
    uint8_t sub;
};
constexpr LocaleRow kLocales[] = {
    {"ar", "", 0x01, 1}, {"ar", "IQ", 0x01, 2}, {"ar", "EG", 0x01, 3}, {"ar", "LY", 0x01, 4},
    {"ar", "DZ", 0x01, 5}, {"ar", "MA", 0x01, 6}, {"ar", "TN", 0x01, 7}, {"ar", "OM", 0x01, 8},
    {"ar", "YE", 0x01, 9}, {"ar", "SY", 0x01, 10}, {"ar", "JO", 0x01, 11}, {"ar", "LB", 0x01, 12},
    {"ar", "KW", 0x01, 13}, {"ar", "AE", 0x01, 14}, {"ar", "BH", 0x01, 15}, {"ar", "QA", 0x01, 16},
    {"bg", "", 0x02, 1}, {"ca", "", 0x03, 1},
    {"zh", "", 0x04, 2}, {"zh", "TW", 0x04, 1}, {"zh", "HK", 0x04, 3}, {"zh", "SG", 0x04, 4}, {"zh", "MO", 0x04, 5},
    {"cs", "", 0x05, 1}, {"da", "", 0x06, 1},
    {"de", "", 0x07, 1}, {"de", "CH", 0x07, 2}, {"de", "AT", 0x07, 3}, {"de", "LU", 0x07, 4}, {"de", "LI", 0x07, 5},
    {"el", "", 0x08, 1},
    {"en", "", 0x09, 1}, {"en", "GB", 0x09, 2}, {"en", "AU", 0x09, 3}, {"en", "CA", 0x09, 4},
    {"en", "NZ", 0x09, 5}, {"en", "IE", 0x09, 6}, {"en", "ZA", 0x09, 7}, {"en", "JM", 0x09, 8},
    {"en", "AG", 0x09, 9}, {"en", "BZ", 0x09, 10}, {"en", "TT", 0x09, 11}, {"en", "ZW", 0x09, 12},
    {"en", "PH", 0x09, 13},
    {"es", "", 0x0a, 1}, {"es", "MX", 0x0a, 2}, {"es", "GT", 0x0a, 4}, {"es", "CR", 0x0a, 5},
    {"es", "PA", 0x0a, 6}, {"es", "DO", 0x0a, 7}, {"es", "VE", 0x0a, 8}, {"es", "CO", 0x0a, 9},
    {"es", "PE", 0x0a, 10}, {"es", "AR", 0x0a, 11}, {"es", "EC", 0x0a, 12}, {"es", "CL", 0x0a, 13},
    {"es", "UY", 0x0a, 14}, {"es", "PY", 0x0a, 15}, {"es", "BO", 0x0a, 16}, {"es", "SV", 0x0a, 17},
    {"es", "HN", 0x0a, 18}, {"es", "NI", 0x0a, 19}, {"es", "PR", 0x0a, 20},
    {"fi", "", 0x0b, 1},
    {"fr", "", 0x0c, 1}, {"fr", "BE", 0x0c, 2}, {"fr", "CA", 0x0c, 3}, {"fr", "CH", 0x0c, 4},
    {"fr", "LU", 0x0c, 5}, {"fr", "MC", 0x0c, 6},
    {"he", "", 0x0d, 1}, {"iw", "", 0x0d, 1}, {"hu", "", 0x0e, 1}, {"is", "", 0x0f, 1},
    {"it", "", 0x10, 1}, {"it", "CH", 0x10, 2}, {"ja", "", 0x11, 1}, {"ko", "", 0x12, 1},
    {"nl", "", 0x13, 1}, {"nl", "BE", 0x13, 2},
    {"nb", "", 0x14, 1}, {"no", "", 0x14, 1}, {"nn", "", 0x14, 2},
    {"pl", "", 0x15, 1}, {"pt", "", 0x16, 2}, {"pt", "BR", 0x16, 1},
    {"ro", "", 0x18, 1}, {"ru", "", 0x19, 1}, {"hr", "", 0x1a, 1}, {"sr", "", 0x1a, 2},
    {"sk", "", 0x1b, 1}, {"sq", "", 0x1c, 1}, {"sv", "", 0x1d, 1}, {"sv", "FI", 0x1d, 2},
    {"th", "", 0x1e, 1}, {"tr", "", 0x1f, 1}, {"ur", "", 0x20, 1}, {"ur", "IN", 0x20, 2},
    {"id", "", 0x21, 1}, {"uk", "", 0x22, 1}, {"be", "", 0x23, 1}, {"sl", "", 0x24, 1},
    {"et", "", 0x25, 1}, {"lv", "", 0x26, 1}, {"lt", "", 0x27, 1}, {"fa", "", 0x29, 1},
    {"vi", "", 0x2a, 1}, {"hy", "", 0x2b, 1}, {"az", "", 0x2c, 1}, {"eu", "", 0x2d, 1},
    {"mk", "", 0x2f, 1}, {"af", "", 0x36, 1}, {"ka", "", 0x37, 1}, {"fo", "", 0x38, 1},
    {"hi", "", 0x39, 1}, {"ms", "", 0x3e, 1}, {"ms", "BN", 0x3e, 2}, {"kk", "", 0x3f, 1},
    {"sw", "", 0x41, 1}, {"uz", "", 0x43, 1}, {"tt", "", 0x44, 1}, {"bn", "", 0x45, 1},
    {"pa", "", 0x46, 1}, {"gu", "", 0x47, 1}, {"ta", "", 0x49, 1}, {"te", "", 0x4a, 1},
    {"kn", "", 0x4b, 1}, {"ml", "", 0x4c, 1}, {"mr", "", 0x4e, 1}, {"kok", "", 0x57, 1},
};

}  // namespace

std::span<const LanguageName> PrimaryLanguageNames() { return kPrimary; }
std::span<const LanguageName> SublanguageNames() { return kSublanguage; }

uint16_t LanguageIdOfLocale(std::string_view locale) {
    size_t end = locale.find_first_of(".@");
    locale = locale.substr(0, end);
    size_t underscore = locale.find('_');
    std::string_view language = locale.substr(0, underscore);
    std::string_view territory = underscore == std::string_view::npos ? std::string_view() : locale.substr(underscore + 1);
    const LocaleRow* fallback = nullptr;
    for (const LocaleRow& row : kLocales) {
        if (language != row.language) continue;
        if (territory == row.territory) return MakeLanguageId(row.primary, row.sub);
        if (row.territory[0] == '\0') fallback = &row;
    }
    return fallback ? MakeLanguageId(fallback->primary, fallback->sub) : 0;
}

uint16_t SystemLanguageId() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return LanguageIdOfLocale(value);
    }
    return 0;
}

}  // namespace kinolux
