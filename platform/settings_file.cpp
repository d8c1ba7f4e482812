#include "platform/settings_file.h"

#include <cstdio>

#include "platform/text_compare.h"

namespace kinolux {

namespace {

constexpr std::string_view kHeader = "; Kinolux settings: typed values, one key per section.\n";

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

// Reads a quoted, escaped text that starts at text[pos] == '"'. On success
// `pos` is one past the closing quote.
bool ReadQuoted(std::string_view text, size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"') return false;
    out.clear();
    for (size_t i = pos + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < text.size()) {
            char next = text[++i];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
            continue;
        }
        out += c;
    }
    return false;
}

bool ParseDword(std::string_view data, uint32_t& value) {
    if (data.empty() || data.size() > 8) return false;
    uint32_t v = 0;
    for (char c : data) {
        int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (digit < 0) return false;
        v = v * 16 + static_cast<uint32_t>(digit);
    }
    value = v;
    return true;
}

bool ParseValueLine(std::string_view line, SettingValue& value) {
    size_t pos = 0;
    if (!ReadQuoted(line, pos, value.name)) return false;
    if (pos >= line.size() || line[pos] != '=') return false;
    std::string_view data = line.substr(pos + 1);
    value.type = SettingType::Other;
    value.text = std::string(data);
    if (!data.empty() && data[0] == '"') {
        size_t at = 0;
        std::string text;
        if (ReadQuoted(data, at, text) && at == data.size()) {
            value.type = SettingType::String;
            value.text = std::move(text);
        }
    } else if (data.substr(0, 6) == "dword:" && ParseDword(data.substr(6), value.dword)) {
        value.type = SettingType::Dword;
        value.text.clear();
    }
    return true;
}

}  // namespace

SettingsFile SettingsFile::Parse(std::string_view text) {
    SettingsFile file;
    SettingsKey* current = nullptr;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = TrimBlanks(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[' && line.back() == ']') {
            std::string path(line.substr(1, line.size() - 2));
            current = nullptr;
            for (SettingsKey& key : file.keys)
                if (EqualsIgnoringCase(key.path, path)) current = &key;
            if (!current) {
                file.keys.push_back({path, {}});
                current = &file.keys.back();
            }
            continue;
        }
        SettingValue value;
        if (current && ParseValueLine(line, value)) {
            bool replaced = false;
            for (SettingValue& existing : current->values)
                if (!replaced && EqualsIgnoringCase(existing.name, value.name)) {
                    existing = value;
                    replaced = true;
                }
            if (!replaced) current->values.push_back(std::move(value));
        }
    }
    return file;
}

std::string SettingsFile::Serialize() const {
    std::string out(kHeader);
    for (const SettingsKey& key : keys) {
        out += "\n[" + key.path + "]\n";
        for (const SettingValue& value : key.values) {
            out += "\"" + Escape(value.name) + "\"=";
            if (value.type == SettingType::Dword) {
                char hex[16];
                std::snprintf(hex, sizeof hex, "dword:%08x", value.dword);
                out += hex;
            } else if (value.type == SettingType::String) {
                out += "\"" + Escape(value.text) + "\"";
            } else {
                out += value.text;
            }
            out += '\n';
        }
    }
    return out;
}

const SettingValue* SettingsFile::Find(std::string_view path, std::string_view name) const {
    for (const SettingsKey& key : keys) {
        if (!EqualsIgnoringCase(key.path, path)) continue;
        for (const SettingValue& value : key.values)
            if (EqualsIgnoringCase(value.name, name)) return &value;
    }
    return nullptr;
}

bool SettingsFile::Put(std::string_view path, SettingValue value) {
    if (path.empty() || path.find_first_of("\r\n]") != std::string_view::npos || TrimBlanks(path) != path) return false;
    for (SettingsKey& key : keys) {
        if (!EqualsIgnoringCase(key.path, path)) continue;
        for (SettingValue& existing : key.values)
            if (EqualsIgnoringCase(existing.name, value.name)) {
                existing = std::move(value);
                return true;
            }
        key.values.push_back(std::move(value));
        return true;
    }
    keys.push_back({std::string(path), {std::move(value)}});
    return true;
}

}  // namespace kinolux
