// Script strings: immutable UTF-16 text shared by reference count, the
// text of both script machines and the names the player core keeps
// (instance names, labels, exports).
// Scripts copy strings far more often than they build them (every push,
// every property name), so a copy is one counter increment. Building a
// string by appending (s = s + x in a loop) appends in place into spare
// room at the end of the buffer when no longer string shares that end, so
// the loop costs linear rather than quadratic time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kinolux::script {

class String {
public:
    String() = default;
    String(std::u16string_view units);
    String(const char16_t* units) : String(std::u16string_view(units)) {}
    String(const String& other) noexcept : rep_(other.rep_) { retain(); }
    String(String&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    String& operator=(const String& other) noexcept;
    String& operator=(String&& other) noexcept;
    ~String() { release(); }

    // Text of a SWF 6+ movie (UTF-8; malformed bytes become U+FFFD).
    static String fromUtf8(std::string_view bytes);
    // Text of a SWF 5 or older movie: the Windows-1252 code page.
    static String fromWindows1252(std::string_view bytes);
    // Decodes text stored in a movie of the given version.
    static String fromSwf(std::string_view bytes, int swfVersion);
    static String fromAscii(std::string_view ascii);

    std::size_t size() const { return rep_ ? rep_->size : 0; }
    bool empty() const { return size() == 0; }
    const char16_t* data() const { return rep_ ? rep_->units : u""; }
    // Whether the text holds ':', '.' or '/' (so it may be a target path).
    bool hasPathCharacters() const {
        if (!rep_) return false;
        if (!(rep_->traits & kTraitsKnown)) computeTraits();
        return rep_->traits & kTraitPath;
    }
    bool hasSlash() const {
        if (!rep_) return false;
        if (!(rep_->traits & kTraitsKnown)) computeTraits();
        return rep_->traits & kTraitSlash;
    }
    char16_t operator[](std::size_t i) const { return rep_->units[i]; }
    std::u16string_view view() const { return {data(), size()}; }
    std::string toUtf8() const;

    // A hash that ignores letter case, so that one table serves both the
    // case-insensitive (SWF 6 and older) and case-sensitive lookups.
    std::uint32_t foldedHash() const {
        if (rep_ && rep_->hash) return rep_->hash;
        return computeHash();
    }
    static std::uint32_t foldedHash(std::u16string_view units);
    bool equalsIgnoreCase(std::u16string_view other) const;
    bool equals(std::u16string_view other, bool caseSensitive) const {
        return caseSensitive ? view() == other : equalsIgnoreCase(other);
    }

    String substr(std::size_t pos, std::size_t count) const;
    static String concat(const String& a, const String& b);

    friend bool operator==(const String& a, const String& b) {
        return a.rep_ == b.rep_ || a.view() == b.view();
    }
    friend bool operator==(const String& a, std::u16string_view b) { return a.view() == b; }
    friend bool operator==(const String& a, const char16_t* b) { return a.view() == std::u16string_view(b); }
    friend bool operator<(const String& a, const String& b) { return a.view() < b.view(); }

    // Longest string any operation may build; callers with a stricter
    // script limit check that first.
    static constexpr std::size_t kHardMaxLength = std::size_t(1) << 28;

private:
    static constexpr std::uint8_t kTraitsKnown = 1, kTraitPath = 2, kTraitSlash = 4;

    // A string's text lives in a buffer owned by the first string made on
    // it; a string that extended it in place shares the buffer through
    // `owner` and sees a longer prefix of it.
    struct Rep {
        std::uint32_t refs;
        std::uint32_t size;
        mutable std::uint32_t hash;   // 0 until computed
        mutable std::uint8_t traits;  // 0 until computed
        std::uint32_t capacity;       // units the buffer holds (owners only)
        std::uint32_t used;           // units of the buffer in use (owners only)
        Rep* owner;                   // the buffer's owner, or null when this is it
        const char16_t* units;
        char16_t buffer[1];
    };
    static Rep* allocate(std::size_t capacity);
    static void destroy(Rep* rep);
    std::uint32_t computeHash() const;
    void computeTraits() const;
    void retain() const { if (rep_) ++rep_->refs; }
    void release() {
        if (rep_ && --rep_->refs == 0) destroy(rep_);
        rep_ = nullptr;
    }

    Rep* rep_ = nullptr;
};

char16_t foldCase(char16_t c);
std::string toUtf8(std::u16string_view units);

}  // namespace kinolux::script
