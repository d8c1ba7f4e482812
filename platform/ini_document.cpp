#include "platform/ini_document.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text_compare.h"

#include <sys/stat.h>

namespace kinolux {

namespace {
constexpr size_t npos = std::string::npos;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A file or folder that grants nobody write permission is read-only for
// every user, the superuser too, as a read-only file is on Windows. The
// atomic save renames a new file over the old one, which the permissions of
// the old file alone would not stop.
bool MarkedReadOnly(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}
}  // namespace

IniDocument::Line IniDocument::Classify(std::string text) {
    Line line;
    line.text = std::move(text);
    std::string_view trimmed = TrimBlanks(line.text);
    if (trimmed.empty() || trimmed[0] == ';') return line;
    if (trimmed[0] == '[') {
        std::string_view inner = trimmed.substr(1);
        size_t close = inner.find(']');
        line.kind = Kind::Section;
        line.name = std::string(TrimBlanks(close == npos ? inner : inner.substr(0, close)));
        return line;
    }
    size_t equals = trimmed.find('=');
    if (equals == npos) return line;
    line.kind = Kind::Key;
    line.name = std::string(TrimBlanks(trimmed.substr(0, equals)));
    line.value = std::string(TrimBlanks(trimmed.substr(equals + 1)));
    return line;
}

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument doc;
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    if (text.find("\r\n") != std::string_view::npos) doc.lineEnd_ = "\r\n";
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        doc.lines_.push_back(Classify(std::string(line)));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return doc;
}

IniDocument IniDocument::Load(const std::string& path) {
    std::optional<std::string> text = ReadWholeFile(path);
    return text ? Parse(*text) : IniDocument();
}

std::optional<IniDocument> IniDocument::LoadForUpdate(const std::string& path) {
    std::optional<std::string> text = ReadWholeFile(path);
    if (text) return Parse(*text);
    if (PathExists(path)) return std::nullopt;
    return IniDocument();
}

size_t IniDocument::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && EqualsIgnoringCase(lines_[i].name, section)) return i;
    return npos;
}

size_t IniDocument::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
    return i;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    size_t header = FindSection(section);
    if (header == npos) return std::nullopt;
    size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Kind::Key && EqualsIgnoringCase(lines_[i].name, key)) return lines_[i].value;
    return std::nullopt;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind != Kind::Section) continue;
        bool seen = false;
        for (const std::string& name : names) seen = seen || EqualsIgnoringCase(name, line.name);
        if (!seen) names.push_back(line.name);
    }
    return names;
}

bool IniDocument::HasSection(std::string_view section) const { return FindSection(TrimBlanks(section)) != npos; }

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    if (key.empty() || key.find('=') != std::string_view::npos || key[0] == '[' || key[0] == ';') return false;

    Line keyLine = Classify(std::string(key) + "=" + std::string(TrimBlanks(value)));
    size_t header = FindSection(section);
    if (header == npos) {
        if (!lines_.empty() && !TrimBlanks(lines_.back().text).empty()) lines_.push_back(Classify(""));
        lines_.push_back(Classify("[" + std::string(section) + "]"));
        lines_.push_back(std::move(keyLine));
        return true;
    }
    size_t end = SectionEnd(header);
    size_t lastContent = header;
    for (size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && EqualsIgnoringCase(lines_[i].name, key)) {
            lines_[i] = std::move(keyLine);
            return true;
        }
        if (!TrimBlanks(lines_[i].text).empty()) lastContent = i;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), std::move(keyLine));
    return true;
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += lineEnd_;
    }
    return out;
}

bool IniDocument::Save(const std::string& path) const {
    if (MarkedReadOnly(path) || MarkedReadOnly(FolderOf(path))) return false;
    return WriteFileAtomically(path, Serialize());
}

}  // namespace kinolux
