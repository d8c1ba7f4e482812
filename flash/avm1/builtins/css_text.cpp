#include "flash/avm1/builtins/css_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "flash/avm1/case_mapping.h"
#include "flash/avm1/number_format.h"
#include "flash/avm1/split_text.h"

namespace kinolux::avm1::builtins {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f'; }

std::u16string_view trimmed(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The text without its /* comments */; an unclosed comment runs to the end.
std::u16string withoutComments(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            std::size_t end = text.find(u"*/", i + 2);
            if (end == std::u16string_view::npos) break;
            i = end + 1;
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}

bool parseDeclarations(std::u16string_view body, CssRule& rule) {
    for (std::u16string_view declaration : splitText(body, u';')) {
        if (trimmed(declaration).empty()) continue;
        std::size_t colon = declaration.find(u':');
        if (colon == std::u16string_view::npos) return false;
        std::u16string_view name = trimmed(declaration.substr(0, colon));
        if (name.empty()) return false;
        // The value keeps what stands before the rule's end, blanks too,
        // but not a line break and what follows it.
        std::u16string_view value = declaration.substr(colon + 1);
        while (!value.empty() && isBlank(value.front())) value.remove_prefix(1);
        value = value.substr(0, value.find_first_of(u"\r\n"));
        rule.declarations.emplace_back(cssPropertyName(name), String(value));
    }
    return true;
}

bool is(std::u16string_view value, std::u16string_view word) { return String(value).equalsIgnoreCase(word); }

// The whole number a value starts with, after blanks ("12px" is 12).
std::optional<double> leadingInteger(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    const bool negative = !s.empty() && s.front() == u'-';
    if (negative) s.remove_prefix(1);
    double n = 0;
    std::size_t digits = 0;
    // More digits than an int holds are not read.
    for (; digits < s.size() && digits < 9 && s[digits] >= u'0' && s[digits] <= u'9'; ++digits)
        n = n * 10 + (s[digits] - u'0');
    if (!digits) return std::nullopt;
    return negative ? -n : n;
}

// The decimal number a value starts with, after blanks; NaN for none.
double leadingNumber(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    std::string ascii;
    bool digits = false;
    // Longer numbers than a double tells apart are not read.
    for (std::size_t i = 0; i < s.size() && ascii.size() < 64; ++i) {
        const char16_t c = s[i];
        const bool digit = c >= u'0' && c <= u'9';
        const bool sign = i == 0 && (c == u'-' || c == u'+');
        const bool point = c == u'.' && ascii.find('.') == std::string::npos;
        if (!digit && !sign && !point) break;
        digits = digits || digit;
        ascii.push_back(char(c));
    }
    return digits ? std::strtod(ascii.c_str(), nullptr) : std::nan("");
}

// "#RGB" digits, up to six of them; anything else is black.
double cssColor(std::u16string_view s) {
    s = trimmed(s);
    if (s.empty() || s.front() != u'#' || s.size() > 7) return 0;
    double rgb = 0;
    for (char16_t c : s.substr(1)) {
        const int digit = digitValue(c);
        if (digit >= 16) return 0;
        rgb = rgb * 16 + digit;
    }
    return rgb;
}

// A list of families, with CSS's generic ones in the player's names.
String fontFamilies(std::u16string_view list) {
    constexpr std::pair<std::u16string_view, std::u16string_view> kGeneric[] = {
        {u"mono", u"_typewriter"}, {u"sans-serif", u"_sans"}, {u"serif", u"_serif"}};
    std::u16string out;
    for (std::u16string_view family : splitText(list, u',')) {
        while (!family.empty() && isBlank(family.front())) family.remove_prefix(1);
        if (family.empty()) continue;
        for (auto [css, player] : kGeneric)
            if (is(family, css)) family = player;
        if (!out.empty()) out.push_back(u',');
        out.append(family);
    }
    return String(out);
}

// A word that sets a flag one way or the other; any other word leaves it.
std::optional<bool> flagWord(std::u16string_view value, std::u16string_view on, std::u16string_view off) {
    if (is(value, on)) return true;
    if (is(value, off)) return false;
    return std::nullopt;
}

}  // namespace

CssFormat formatOfStyle(const CssProperty& property) {
    CssFormat css;
    TextFormat& f = css.format;
    f.kerning = false;
    auto read = [&](std::u16string_view name, auto apply) {
        if (auto v = property(name); v && !v->empty()) apply(std::u16string_view(*v));
    };
    // Margins and the like the player cannot read are the least int.
    auto integer = [](std::u16string_view v) {
        return leadingInteger(v).value_or(double(std::numeric_limits<std::int32_t>::min()));
    };
    read(u"color", [&](auto v) { f.color = cssColor(v); });
    read(u"display", [&](auto v) {
        css.display = std::nullopt;
        for (std::u16string_view word : {u"inline", u"block", u"none"})
            if (is(v, word)) css.display = String(word);
    });
    read(u"fontFamily", [&](auto v) {
        if (String families = fontFamilies(v); !families.view().empty()) f.font = families;
    });
    read(u"fontSize", [&](auto v) {
        if (auto size = leadingInteger(v); size && *size > 0) f.size = size;
    });
    read(u"fontStyle", [&](auto v) { f.italic = flagWord(v, u"italic", u"normal"); });
    read(u"fontWeight", [&](auto v) { f.bold = flagWord(v, u"bold", u"normal"); });
    read(u"kerning", [&](auto v) { f.kerning = is(v, u"true") || leadingInteger(v).value_or(0) != 0; });
    read(u"leading", [&](auto v) { f.leading = integer(v); });
    read(u"letterSpacing", [&](auto v) { f.letterSpacing = leadingNumber(v); });
    read(u"marginLeft", [&](auto v) { f.leftMargin = integer(v); });
    read(u"marginRight", [&](auto v) { f.rightMargin = integer(v); });
    read(u"textAlign", [&](auto v) {
        css.badAlign = true;
        for (std::u16string_view align : {u"left", u"right", u"center", u"justify"}) {
            if (!is(v, align)) continue;
            f.align = String(align);
            css.badAlign = false;
        }
    });
    read(u"textDecoration", [&](auto v) { f.underline = flagWord(v, u"underline", u"none"); });
    read(u"textIndent", [&](auto v) { f.indent = integer(v); });
    return css;
}

String styleName(std::u16string_view name) {
    std::u16string lower(name);
    for (char16_t& c : lower) c = toLowerCase(c);
    return String(lower);
}

String cssPropertyName(std::u16string_view name) {
    std::u16string out;
    bool upper = false;
    for (char16_t c : name) {
        if (c == u'-') {
            upper = true;
            continue;
        }
        out.push_back(upper ? toUpperCase(c) : c);
        upper = false;
    }
    return String(out);
}

std::optional<std::vector<CssRule>> parseCss(std::u16string_view source) {
    const std::u16string text = withoutComments(source);
    std::vector<CssRule> rules;
    std::size_t at = 0;
    for (;;) {
        while (at < text.size() && isBlank(text[at])) ++at;
        if (at >= text.size()) return rules;
        std::size_t open = text.find(u'{', at);
        if (open == std::u16string::npos) return std::nullopt;
        std::size_t close = text.find(u'}', open);
        if (close == std::u16string::npos) return std::nullopt;
        CssRule rule;
        std::u16string_view selectors = std::u16string_view(text).substr(at, open - at);
        for (std::u16string_view selector : splitText(selectors, u',')) {
            std::u16string_view one = trimmed(selector);
            if (one.empty() || one.find(u'}') != std::u16string_view::npos) return std::nullopt;
            rule.selectors.push_back(styleName(one));
        }
        if (!parseDeclarations(std::u16string_view(text).substr(open + 1, close - open - 1), rule)) return std::nullopt;
        rules.push_back(std::move(rule));
        at = close + 1;
    }
}

}  // namespace kinolux::avm1::builtins
