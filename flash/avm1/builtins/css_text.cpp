#include "flash/avm1/builtins/css_text.h"

#include "flash/avm1/case_mapping.h"

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
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = body.find(u';', start);
        if (end == std::u16string_view::npos) end = body.size();
        std::u16string_view declaration = body.substr(start, end - start);
        start = end + 1;
        if (trimmed(declaration).empty()) continue;
        std::size_t colon = declaration.find(u':');
        if (colon == std::u16string_view::npos) return false;
        std::u16string_view name = trimmed(declaration.substr(0, colon));
        if (name.empty()) return false;
        // The value keeps what stands before the rule's end, blanks too.
        std::u16string_view value = declaration.substr(colon + 1);
        while (!value.empty() && isBlank(value.front())) value.remove_prefix(1);
        rule.declarations.emplace_back(cssPropertyName(name), String(value));
    }
    return true;
}

}  // namespace

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
        std::size_t s = 0;
        while (s <= selectors.size()) {
            std::size_t comma = selectors.find(u',', s);
            if (comma == std::u16string_view::npos) comma = selectors.size();
            std::u16string_view one = trimmed(selectors.substr(s, comma - s));
            if (one.empty() || one.find(u'}') != std::u16string_view::npos) return std::nullopt;
            std::u16string lower(one);
            for (char16_t& c : lower) c = toLowerCase(c);
            rule.selectors.emplace_back(lower);
            s = comma + 1;
        }
        if (!parseDeclarations(std::u16string_view(text).substr(open + 1, close - open - 1), rule)) return std::nullopt;
        rules.push_back(std::move(rule));
        at = close + 1;
    }
}

}  // namespace kinolux::avm1::builtins
