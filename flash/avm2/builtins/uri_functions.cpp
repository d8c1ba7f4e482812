// escape and unescape, encodeURI and decodeURI and their Component forms:
// text to and from percent escapes.
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool isAlnum(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'); }

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Two hex digits at i, or -1.
int hexByte(std::u16string_view s, std::size_t i) {
    if (i + 2 > s.size()) return -1;
    int a = hexDigit(s[i]), b = hexDigit(s[i + 1]);
    return a < 0 || b < 0 ? -1 : a * 16 + b;
}

void appendByte(std::u16string& out, unsigned byte) {
    out.push_back(u'%');
    out.push_back(char16_t(kHex[byte >> 4]));
    out.push_back(char16_t(kHex[byte & 15]));
}

// The argument is typed String: a missing one reads "undefined", but an
// undefined one is coerced to null first.
String argText(Vm& vm, std::span<const Value> args) {
    if (args.empty()) return String(u"undefined");
    return args[0].isNullish() ? String(u"null") : vm.toString(args[0]);
}

Value escape(Vm& vm, const Value&, std::span<const Value> args) {
    String s = argText(vm, args);
    std::u16string out;
    for (char16_t c : s.view()) {
        if (isAlnum(c) || std::u16string_view(u"@-_.*+/").find(c) != std::u16string_view::npos) {
            out.push_back(c);
        } else if (c < 256) {
            appendByte(out, c);
        } else {
            out += u"%u";
            for (int shift = 12; shift >= 0; shift -= 4) out.push_back(char16_t(kHex[(c >> shift) & 15]));
        }
    }
    return Value(String(out));
}

Value unescape(Vm& vm, const Value&, std::span<const Value> args) {
    String s = argText(vm, args);
    std::u16string_view v = s.view();
    std::u16string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == u'%') {
            if (i + 6 <= v.size() && v[i + 1] == u'u') {
                int hi = hexByte(v, i + 2), lo = hexByte(v, i + 4);
                if (hi >= 0 && lo >= 0) {
                    out.push_back(char16_t(hi << 8 | lo));
                    i += 5;
                    continue;
                }
            }
            if (int b = hexByte(v, i + 1); b >= 0) {
                out.push_back(char16_t(b));
                i += 2;
                continue;
            }
        }
        out.push_back(v[i]);
    }
    return Value(String(out));
}

[[noreturn]] void badUri(Vm& vm, const char* function) {
    vm.throwError(ErrorType::URIError, std::string("Error #1052: Invalid URI passed to ") + function + " function.",
                  1052);
}

// Characters left as they are besides letters and digits.
constexpr std::u16string_view kUnreserved = u"-_.!~*'()";
constexpr std::u16string_view kReserved = u";/?:@&=+$,#";

Value encode(Vm& vm, std::span<const Value> args, bool component, const char* function) {
    String s = argText(vm, args);
    std::u16string_view v = s.view();
    std::u16string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        char16_t c = v[i];
        if (isAlnum(c) || kUnreserved.find(c) != std::u16string_view::npos ||
            (!component && kReserved.find(c) != std::u16string_view::npos)) {
            out.push_back(c);
            continue;
        }
        std::u16string point(1, c);
        if (c >= 0xDC00 && c <= 0xDFFF) badUri(vm, function);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= v.size() || v[i + 1] < 0xDC00 || v[i + 1] > 0xDFFF) badUri(vm, function);
            point.push_back(v[++i]);
        }
        for (unsigned char b : String(point).toUtf8()) appendByte(out, b);
    }
    return Value(String(out));
}

Value decode(Vm& vm, std::span<const Value> args, bool component, const char* function) {
    String s = argText(vm, args);
    std::u16string_view v = s.view();
    std::u16string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != u'%') {
            out.push_back(v[i]);
            continue;
        }
        int first = hexByte(v, i + 1);
        if (first < 0) badUri(vm, function);
        if (first < 0x80) {
            char16_t c = char16_t(first);
            // encodeURI leaves reserved characters alone, so decodeURI keeps their escapes.
            if (!component && kReserved.find(c) != std::u16string_view::npos) out.append(v.substr(i, 3));
            else out.push_back(c);
            i += 2;
            continue;
        }
        int extra = (first & 0xE0) == 0xC0 ? 1 : (first & 0xF0) == 0xE0 ? 2 : (first & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0) badUri(vm, function);
        std::string bytes(1, char(first));
        std::size_t at = i + 3;
        for (int k = 0; k < extra; ++k, at += 3) {
            if (at >= v.size() || v[at] != u'%') badUri(vm, function);
            int b = hexByte(v, at + 1);
            if (b < 0 || (b & 0xC0) != 0x80) badUri(vm, function);
            bytes.push_back(char(b));
        }
        String decoded = String::fromUtf8(bytes);
        if (decoded.view().find(u'\uFFFD') != std::u16string_view::npos) badUri(vm, function);
        out += decoded.view();
        i = at - 1;
    }
    return Value(String(out));
}

}  // namespace

void installUriFunctions(Vm& vm) {
    vm.defineFunction(u"", u"escape", escape, 1);
    vm.defineFunction(u"", u"unescape", unescape, 1);
    vm.defineFunction(u"", u"encodeURI", [](Vm& vm, const Value&, std::span<const Value> args) {
        return encode(vm, args, false, "encodeURI");
    }, 1);
    vm.defineFunction(u"", u"encodeURIComponent", [](Vm& vm, const Value&, std::span<const Value> args) {
        return encode(vm, args, true, "encodeURIComponent");
    }, 1);
    vm.defineFunction(u"", u"decodeURI", [](Vm& vm, const Value&, std::span<const Value> args) {
        return decode(vm, args, false, "decodeURI");
    }, 1);
    vm.defineFunction(u"", u"decodeURIComponent", [](Vm& vm, const Value&, std::span<const Value> args) {
        return decode(vm, args, true, "decodeURIComponent");
    }, 1);
}

}  // namespace kinolux::avm2
