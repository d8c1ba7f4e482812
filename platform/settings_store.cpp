#include "platform/settings_store.h"

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/settings_file.h"

namespace kinolux {

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid())) return entry->pw_dir;
    return "/tmp";
}

// Reads the file for a change: nothing when it exists but cannot be read,
// so that a write never replaces settings it could not see.
std::optional<SettingsFile> LoadForUpdate(const std::string& path) {
    if (std::optional<std::string> text = ReadWholeFile(path)) return SettingsFile::Parse(*text);
    if (PathExists(path)) return std::nullopt;
    return SettingsFile();
}

bool Store(const std::string& keyPath, SettingValue value) {
    std::string path = SettingsFilePath();
    if (!MakeFoldersUpToLastSlash(path)) return false;
    std::optional<SettingsFile> file = LoadForUpdate(path);
    return file && file->Put(keyPath, std::move(value)) && WriteFileAtomically(path, file->Serialize(), 0600);
}

std::optional<SettingValue> Fetch(const std::string& keyPath, std::string_view name) {
    std::optional<std::string> text = ReadWholeFile(SettingsFilePath());
    if (!text) return std::nullopt;
    SettingsFile file = SettingsFile::Parse(*text);
    const SettingValue* value = file.Find(keyPath, name);
    if (!value) return std::nullopt;
    return *value;
}

}  // namespace

std::string SettingsFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // The base-directory rules ignore a relative path here.
    std::string base = (config && config[0] == '/') ? config : HomeFolder() + "/.config";
    return base + "/Qorvane/settings.reg";
}

SettingsStore::SettingsStore(std::string root) : root_(std::move(root)) {}

std::string SettingsStore::KeyPath(std::string_view subkey) const { return root_ + "\\" + std::string(subkey); }

bool SettingsStore::ReadDword(std::string_view subkey, std::string_view name, uint32_t& value) const {
    std::optional<SettingValue> found = Fetch(KeyPath(subkey), name);
    if (!found || found->type != SettingType::Dword) return false;
    value = found->dword;
    return true;
}

bool SettingsStore::WriteDword(std::string_view subkey, std::string_view name, uint32_t value) const {
    return Store(KeyPath(subkey), SettingValue{std::string(name), SettingType::Dword, value, {}});
}

bool SettingsStore::ReadString(std::string_view subkey, std::string_view name, std::string& value) const {
    std::optional<SettingValue> found = Fetch(KeyPath(subkey), name);
    if (!found || found->type != SettingType::String) return false;
    value = found->text;
    return true;
}

bool SettingsStore::WriteString(std::string_view subkey, std::string_view name, std::string_view value) const {
    return Store(KeyPath(subkey), SettingValue{std::string(name), SettingType::String, 0, std::string(value)});
}

}  // namespace kinolux
