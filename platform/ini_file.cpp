#include "platform/ini_file.h"

#include <climits>

#include "platform/ini_document.h"
#include "platform/text_compare.h"

namespace kinolux {

std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view fallback) {
    return IniDocument::Load(path).Get(section, key).value_or(std::string(fallback));
}

int ParseIniInt(std::string_view value, int fallback) {
    value = TrimBlanks(value);
    if (value.empty()) return fallback;
    size_t i = 0;
    bool negative = false;
    if (value[0] == '-' || value[0] == '+') {
        negative = value[0] == '-';
        ++i;
    }
    long long magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (value[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) magnitude = static_cast<long long>(INT_MAX) + 1;
    }
    long long result = negative ? -magnitude : magnitude;
    if (result > INT_MAX) result = INT_MAX;
    return static_cast<int>(result);
}

int ReadIniInt(const std::string& path, std::string_view section, std::string_view key, int fallback) {
    std::optional<std::string> value = IniDocument::Load(path).Get(section, key);
    return value ? ParseIniInt(*value, fallback) : fallback;
}

bool WriteIniString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value) {
    std::optional<IniDocument> doc = IniDocument::LoadForUpdate(path);
    return doc && doc->Set(section, key, value) && doc->Save(path);
}

std::vector<std::string> ReadIniSectionNames(const std::string& path) {
    return IniDocument::Load(path).SectionNames();
}

}  // namespace kinolux
