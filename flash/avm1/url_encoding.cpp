#include "flash/avm1/url_encoding.h"

#include "flash/avm1/split_text.h"

namespace kinolux::avm1 {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The player's decoder: a '%' starts a two-digit escape; a non-digit ends
// it and is dropped with it.
std::string unescapeBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            int hi = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
            int lo = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
            if (hi >= 0 && lo >= 0) {
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
            } else {
                i += hi >= 0 ? 2 : 1;
            }
        } else if (c == '+') {
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

std::string escapeBytes(std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kDigits[c >> 4]);
            out.push_back(kDigits[c & 15]);
        }
    }
    return out;
}

String escapeUrl(const String& s) { return String::fromAscii(escapeBytes(s.toUtf8())); }

String unescapeUrl(const String& s) { return String::fromUtf8(unescapeBytes(s.toUtf8())); }

std::vector<std::pair<String, String>> decodeUrlVariables(std::string_view text, int swfVersion) {
    std::vector<std::pair<String, String>> out;
    for (std::string_view pair : splitText(text, '&')) {
        if (pair.empty()) continue;
        std::size_t eq = pair.find('=');
        std::string_view name = pair.substr(0, eq);
        std::string_view value = eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        out.emplace_back(String::fromSwf(unescapeBytes(name), swfVersion),
                         String::fromSwf(unescapeBytes(value), swfVersion));
    }
    return out;
}

std::string encodeUrlVariables(const std::vector<std::pair<String, String>>& variables) {
    std::string out;
    for (const auto& [name, value] : variables) {
        if (!out.empty()) out.push_back('&');
        out += escapeBytes(name.toUtf8());
        out.push_back('=');
        out += escapeBytes(value.toUtf8());
    }
    return out;
}

}  // namespace kinolux::avm1
