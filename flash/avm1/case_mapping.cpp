// Letter case as String.toLowerCase / toUpperCase see it. The player's
// table follows the Unicode simple case mappings of its day, for Latin,
// IPA, Greek, Cyrillic, Armenian, Georgian, Latin and Greek extended,
// letterlike symbols, Roman numerals, circled and fullwidth letters; it
// predates later Unicode additions to those blocks (which it leaves
// alone) and has three quirks: the Georgian capitals lower to the letters
// in everyday use, final sigma pairs with the unassigned U+03A2, and
// lunate sigma and ypogegrammeni upper to Sigma and Iota.
//
// The runs below were generated from those mappings: each maps `count`
// characters from `first`, every `step`-th one, to the character `delta`
// away.
#include "flash/avm1/case_mapping.h"

#include <algorithm>
#include <iterator>

namespace kinolux::avm1 {

namespace {

struct CaseRun {
    char16_t first;
    std::uint16_t count;
    std::int32_t delta;
    std::uint16_t step;
};

constexpr CaseRun kToLower[] = {
    {0x0041, 26, 32, 1}, {0x00C0, 23, 32, 1}, {0x00D8, 7, 32, 1}, {0x0100, 24, 1, 2},
    {0x0130, 1, -199, 1}, {0x0132, 3, 1, 2}, {0x0139, 8, 1, 2}, {0x014A, 23, 1, 2},
    {0x0178, 1, -121, 1}, {0x0179, 3, 1, 2}, {0x0181, 1, 210, 1}, {0x0182, 2, 1, 2},
    {0x0186, 1, 206, 1}, {0x0187, 1, 1, 1}, {0x0189, 2, 205, 1}, {0x018B, 1, 1, 1},
    {0x018E, 1, 79, 1}, {0x018F, 1, 202, 1}, {0x0190, 1, 203, 1}, {0x0191, 1, 1, 1},
    {0x0193, 1, 205, 1}, {0x0194, 1, 207, 1}, {0x0196, 1, 211, 1}, {0x0197, 1, 209, 1},
    {0x0198, 1, 1, 1}, {0x019C, 1, 211, 1}, {0x019D, 1, 213, 1}, {0x019F, 1, 214, 1},
    {0x01A0, 3, 1, 2}, {0x01A6, 1, 218, 1}, {0x01A7, 1, 1, 1}, {0x01A9, 1, 218, 1},
    {0x01AC, 1, 1, 1}, {0x01AE, 1, 218, 1}, {0x01AF, 1, 1, 1}, {0x01B1, 2, 217, 1},
    {0x01B3, 2, 1, 2}, {0x01B7, 1, 219, 1}, {0x01B8, 1, 1, 1}, {0x01BC, 1, 1, 1}, {0x01C4, 1, 2, 1},
    {0x01C5, 1, 1, 1}, {0x01C7, 1, 2, 1}, {0x01C8, 1, 1, 1}, {0x01CA, 1, 2, 1}, {0x01CB, 9, 1, 2},
    {0x01DE, 9, 1, 2}, {0x01F1, 1, 2, 1}, {0x01F2, 2, 1, 2}, {0x01F6, 1, -97, 1},
    {0x01F7, 1, -56, 1}, {0x01F8, 20, 1, 2}, {0x0222, 9, 1, 2}, {0x0386, 1, 38, 1},
    {0x0388, 3, 37, 1}, {0x038C, 1, 64, 1}, {0x038E, 2, 63, 1}, {0x0391, 27, 32, 1},
    {0x03D8, 12, 1, 2}, {0x03F4, 1, -60, 1}, {0x0400, 16, 80, 1}, {0x0410, 32, 32, 1},
    {0x0460, 17, 1, 2}, {0x048A, 27, 1, 2}, {0x04C1, 2, 1, 2}, {0x04C7, 1, 1, 1}, {0x04CB, 1, 1, 1},
    {0x04D0, 21, 1, 2}, {0x0531, 38, 48, 1}, {0x10A0, 38, 48, 1}, {0x1E00, 75, 1, 2},
    {0x1EA0, 45, 1, 2}, {0x1F08, 8, -8, 1}, {0x1F18, 6, -8, 1}, {0x1F28, 8, -8, 1},
    {0x1F38, 8, -8, 1}, {0x1F48, 6, -8, 1}, {0x1F59, 4, -8, 2}, {0x1F68, 8, -8, 1},
    {0x1F88, 8, -8, 1}, {0x1F98, 8, -8, 1}, {0x1FA8, 8, -8, 1}, {0x1FB8, 2, -8, 1},
    {0x1FBA, 2, -74, 1}, {0x1FBC, 1, -9, 1}, {0x1FC8, 4, -86, 1}, {0x1FCC, 1, -9, 1},
    {0x1FD8, 2, -8, 1}, {0x1FDA, 2, -100, 1}, {0x1FE8, 2, -8, 1}, {0x1FEA, 2, -112, 1},
    {0x1FEC, 1, -7, 1}, {0x1FF8, 2, -128, 1}, {0x1FFA, 2, -126, 1}, {0x1FFC, 1, -9, 1},
    {0x2126, 1, -7517, 1}, {0x212A, 1, -8383, 1}, {0x212B, 1, -8262, 1}, {0x2160, 16, 16, 1},
    {0x24B6, 26, 26, 1}, {0xFF21, 26, 32, 1},
};
constexpr CaseRun kToUpper[] = {
    {0x0061, 26, -32, 1}, {0x00E0, 23, -32, 1}, {0x00F8, 7, -32, 1}, {0x00FF, 1, 121, 1},
    {0x0101, 24, -1, 2}, {0x0131, 1, -232, 1}, {0x0133, 3, -1, 2}, {0x013A, 8, -1, 2},
    {0x014B, 23, -1, 2}, {0x017A, 3, -1, 2}, {0x017F, 1, -300, 1}, {0x0183, 2, -1, 2},
    {0x0188, 1, -1, 1}, {0x018C, 1, -1, 1}, {0x0192, 1, -1, 1}, {0x0195, 1, 97, 1},
    {0x0199, 1, -1, 1}, {0x01A1, 3, -1, 2}, {0x01A8, 1, -1, 1}, {0x01AD, 1, -1, 1},
    {0x01B0, 1, -1, 1}, {0x01B4, 2, -1, 2}, {0x01B9, 1, -1, 1}, {0x01BD, 1, -1, 1},
    {0x01BF, 1, 56, 1}, {0x01C5, 1, -1, 1}, {0x01C6, 1, -2, 1}, {0x01C8, 1, -1, 1},
    {0x01C9, 1, -2, 1}, {0x01CB, 1, -1, 1}, {0x01CC, 1, -2, 1}, {0x01CE, 8, -1, 2},
    {0x01DD, 1, -79, 1}, {0x01DF, 9, -1, 2}, {0x01F2, 1, -1, 1}, {0x01F3, 1, -2, 1},
    {0x01F5, 1, -1, 1}, {0x01F9, 20, -1, 2}, {0x0223, 9, -1, 2}, {0x0253, 1, -210, 1},
    {0x0254, 1, -206, 1}, {0x0256, 2, -205, 1}, {0x0259, 1, -202, 1}, {0x025B, 1, -203, 1},
    {0x0260, 1, -205, 1}, {0x0263, 1, -207, 1}, {0x0268, 1, -209, 1}, {0x0269, 1, -211, 1},
    {0x026F, 1, -211, 1}, {0x0272, 1, -213, 1}, {0x0275, 1, -214, 1}, {0x0280, 1, -218, 1},
    {0x0283, 1, -218, 1}, {0x0288, 1, -218, 1}, {0x028A, 2, -217, 1}, {0x0292, 1, -219, 1},
    {0x0345, 1, 84, 1}, {0x03AC, 1, -38, 1}, {0x03AD, 3, -37, 1}, {0x03B1, 27, -32, 1},
    {0x03CC, 1, -64, 1}, {0x03CD, 2, -63, 1}, {0x03D0, 1, -62, 1}, {0x03D1, 1, -57, 1},
    {0x03D5, 1, -47, 1}, {0x03D6, 1, -54, 1}, {0x03D9, 12, -1, 2}, {0x03F0, 1, -86, 1},
    {0x03F1, 1, -80, 1}, {0x03F2, 1, -79, 1}, {0x03F5, 1, -96, 1}, {0x0430, 32, -32, 1},
    {0x0450, 16, -80, 1}, {0x0461, 17, -1, 2}, {0x048B, 27, -1, 2}, {0x04C2, 2, -1, 2},
    {0x04C8, 1, -1, 1}, {0x04CC, 1, -1, 1}, {0x04D1, 21, -1, 2}, {0x0561, 38, -48, 1},
    {0x1E01, 75, -1, 2}, {0x1E9B, 1, -59, 1}, {0x1EA1, 45, -1, 2}, {0x1F00, 8, 8, 1},
    {0x1F10, 6, 8, 1}, {0x1F20, 8, 8, 1}, {0x1F30, 8, 8, 1}, {0x1F40, 6, 8, 1}, {0x1F51, 4, 8, 2},
    {0x1F60, 8, 8, 1}, {0x1F70, 2, 74, 1}, {0x1F72, 4, 86, 1}, {0x1F76, 2, 100, 1},
    {0x1F78, 2, 128, 1}, {0x1F7A, 2, 112, 1}, {0x1F7C, 2, 126, 1}, {0x1F80, 8, 8, 1},
    {0x1F90, 8, 8, 1}, {0x1FA0, 8, 8, 1}, {0x1FB0, 2, 8, 1}, {0x1FB3, 1, 9, 1},
    {0x1FBE, 1, -7205, 1}, {0x1FC3, 1, 9, 1}, {0x1FD0, 2, 8, 1}, {0x1FE0, 2, 8, 1},
    {0x1FE5, 1, 7, 1}, {0x1FF3, 1, 9, 1}, {0x2170, 16, -16, 1}, {0x24D0, 26, -26, 1},
    {0xFF41, 26, -32, 1},
};

template <std::size_t N>
char16_t mapCase(const CaseRun (&runs)[N], char16_t c) {
    // The last run starting at or before c.
    auto it = std::upper_bound(std::begin(runs), std::end(runs), c,
                               [](char16_t value, const CaseRun& run) { return value < run.first; });
    if (it == std::begin(runs)) return c;
    const CaseRun& run = *std::prev(it);
    const unsigned offset = static_cast<unsigned>(c - run.first);
    if (offset % run.step != 0 || offset / run.step >= run.count) return c;
    return static_cast<char16_t>(static_cast<std::int32_t>(c) + run.delta);
}

}  // namespace

char16_t toLowerCase(char16_t c) { return c < 0x41 ? c : mapCase(kToLower, c); }
char16_t toUpperCase(char16_t c) { return c < 0x61 ? c : mapCase(kToUpper, c); }

}  // namespace kinolux::avm1
