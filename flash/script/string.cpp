#include "flash/script/string.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace kinolux::script {

namespace {

// Windows-1252 code points for bytes 0x80..0x9F; the other bytes are Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

}  // namespace

char16_t foldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return c + 32;
    if (c < 0xC0) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 32;                 // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

String::Rep* String::allocate(std::size_t capacity) {
    if (capacity > kHardMaxLength) throw std::length_error("string too long");
    void* memory = std::malloc(sizeof(Rep) + sizeof(char16_t) * capacity);
    if (!memory) throw std::bad_alloc();
    Rep* rep = static_cast<Rep*>(memory);
    rep->refs = 1;
    rep->size = 0;
    rep->hash = 0;
    rep->traits = 0;
    rep->capacity = static_cast<std::uint32_t>(capacity);
    rep->used = 0;
    rep->owner = nullptr;
    rep->units = rep->buffer;
    return rep;
}

void String::destroy(Rep* rep) {
    Rep* owner = rep->owner;
    std::free(rep);
    if (owner && --owner->refs == 0) std::free(owner);
}

String::String(std::u16string_view units) {
    if (units.empty()) return;
    rep_ = allocate(units.size());
    std::memcpy(rep_->buffer, units.data(), units.size() * sizeof(char16_t));
    rep_->size = rep_->used = static_cast<std::uint32_t>(units.size());
}

String& String::operator=(const String& other) noexcept {
    other.retain();
    release();
    rep_ = other.rep_;
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        release();
        rep_ = other.rep_;
        other.rep_ = nullptr;
    }
    return *this;
}

String String::fromUtf8(std::string_view bytes) {
    // Scripts are mostly ASCII: widen those in one step.
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return fromAscii(bytes);
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
        if (b >= 0xF8) extra = -1;
        char32_t cp = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : b & 0x1F;
        bool ok = extra > 0 && i + extra < bytes.size();
        if (ok) {
            for (int k = 1; k <= extra; ++k) {
                unsigned char c = static_cast<unsigned char>(bytes[i + k]);
                if ((c & 0xC0) != 0x80) { ok = false; break; }
                cp = (cp << 6) | (c & 0x3F);
            }
        }
        if (ok && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))))
            ok = false;
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        appendUtf16(out, cp);
        i += extra + 1;
    }
    return String(out);
}

String String::fromWindows1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        unsigned char b = static_cast<unsigned char>(ch);
        out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return String(out);
}

String String::fromSwf(std::string_view bytes, int swfVersion) {
    return swfVersion >= 6 ? fromUtf8(bytes) : fromWindows1252(bytes);
}

String String::fromAscii(std::string_view ascii) {
    if (ascii.empty()) return {};
    String s;
    s.rep_ = allocate(ascii.size());
    for (std::size_t i = 0; i < ascii.size(); ++i)
        s.rep_->buffer[i] = static_cast<unsigned char>(ascii[i]);
    s.rep_->size = s.rep_->used = static_cast<std::uint32_t>(ascii.size());
    return s;
}

std::string toUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;  // unpaired surrogate
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string String::toUtf8() const { return script::toUtf8(view()); }

std::uint32_t String::foldedHash(std::u16string_view units) {
    std::uint32_t h = 0x811C9DC5u;
    for (char16_t c : units) {
        h ^= foldCase(c);
        h *= 0x01000193u;
    }
    return h ? h : 1;
}

std::uint32_t String::computeHash() const {
    if (!rep_) return foldedHash(std::u16string_view());
    rep_->hash = foldedHash(view());
    return rep_->hash;
}

void String::computeTraits() const {
    std::uint8_t traits = kTraitsKnown;
    for (char16_t c : view()) {
        if (c == u':' || c == u'.') traits |= kTraitPath;
        else if (c == u'/') traits |= kTraitPath | kTraitSlash;
    }
    rep_->traits = traits;
}

bool String::equalsIgnoreCase(std::u16string_view other) const {
    if (other.size() != size()) return false;
    const char16_t* mine = data();
    for (std::size_t i = 0; i < other.size(); ++i) {
        if (mine[i] != other[i] && foldCase(mine[i]) != foldCase(other[i])) return false;
    }
    return true;
}

String String::substr(std::size_t pos, std::size_t count) const {
    if (pos >= size()) return {};
    if (count > size() - pos) count = size() - pos;
    if (pos == 0 && count == size()) return *this;
    return String(view().substr(pos, count));
}

String String::concat(const String& a, const String& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const std::size_t size = a.size() + b.size();
    if (size > kHardMaxLength) throw std::length_error("string too long");
    Rep* buffer = a.rep_->owner ? a.rep_->owner : a.rep_;
    String s;
    if (a.rep_->units + a.size() == buffer->buffer + buffer->used && buffer->used + b.size() <= buffer->capacity) {
        // `a` ends where the buffer's text ends: extend the buffer in place.
        std::memcpy(buffer->buffer + buffer->used, b.data(), b.size() * sizeof(char16_t));
        buffer->used += static_cast<std::uint32_t>(b.size());
        s.rep_ = allocate(0);
        s.rep_->owner = buffer;
        ++buffer->refs;
        s.rep_->units = buffer->buffer;
        s.rep_->size = static_cast<std::uint32_t>(size);
        return s;
    }
    // Long results get room to grow, as they are likely being built up.
    std::size_t capacity = size >= 64 ? std::min(size * 2, kHardMaxLength) : size;
    s.rep_ = allocate(capacity);
    std::memcpy(s.rep_->buffer, a.data(), a.size() * sizeof(char16_t));
    std::memcpy(s.rep_->buffer + a.size(), b.data(), b.size() * sizeof(char16_t));
    s.rep_->size = s.rep_->used = static_cast<std::uint32_t>(size);
    return s;
}

}  // namespace kinolux::script
