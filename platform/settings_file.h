// The text form of the settings file, close to a registry export:
//
//   [HKLM\Software\Qorvane\Kinolux]
//   "firstuse"=dword:00000000
//   "ConvertDir"="/home/ann/Videos/"
//
// Strings escape "\" "\"" and line breaks with a backslash. A value line of
// any other form is kept verbatim (and reads as a value of another type), so
// rewriting the file never drops what a newer program stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kinolux {

enum class SettingType { Dword, String, Other };

struct SettingValue {
    std::string name;
    SettingType type = SettingType::Other;
    uint32_t dword = 0;
    std::string text;  // the string, or the raw data of another type
};

struct SettingsKey {
    std::string path;
    std::vector<SettingValue> values;
};

struct SettingsFile {
    std::vector<SettingsKey> keys;

    static SettingsFile Parse(std::string_view text);
    std::string Serialize() const;

    const SettingValue* Find(std::string_view path, std::string_view name) const;
    // Adds or replaces a value; false when the key path cannot be stored.
    bool Put(std::string_view path, SettingValue value);
};

}  // namespace kinolux
