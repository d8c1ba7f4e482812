// An INI file held in memory with the behaviour of the Windows profile
// functions: section and key names compare without regard to case, values
// are trimmed, the first of duplicate sections or keys wins, and a change
// rewrites only the line it concerns, so every other line of the file
// (comments, unknown keys, blank lines) is kept as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinolux {

class IniDocument {
public:
    static IniDocument Parse(std::string_view text);
    // A missing or unreadable file gives an empty document.
    static IniDocument Load(const std::string& path);
    // For a change: nothing when the file exists but cannot be read, so that
    // a write never replaces a file whose contents it could not see.
    static std::optional<IniDocument> LoadForUpdate(const std::string& path);

    // The trimmed value, or nothing when the section or key is absent.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Section names in file order, each name once (the first spelling).
    std::vector<std::string> SectionNames() const;

    bool HasSection(std::string_view section) const;

    // Sets a key, creating the section or key when needed. Refuses (returns
    // false, changes nothing) names or values that a line could not hold:
    // line breaks anywhere, "]" in a section name, "=" in a key name, a key
    // name that is empty or starts with "[" or ";".
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Serialize() const;
    // Writes the file atomically; false when it could not be written, and
    // when the file or its folder grants nobody write permission.
    bool Save(const std::string& path) const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string text;  // the line as it stands, without its line end
        Kind kind = Kind::Other;
        std::string name;   // section or key name, trimmed
        std::string value;  // key value, trimmed
    };
    static Line Classify(std::string text);
    // Index of the first line of the first section of that name, or npos.
    size_t FindSection(std::string_view section) const;
    // One past the last line belonging to the section that starts at `header`.
    size_t SectionEnd(size_t header) const;

    std::vector<Line> lines_;
    std::string lineEnd_ = "\n";
};

}  // namespace kinolux
