// The typed settings store that stands where the Windows registry stands:
// keys named by a root and a path ("HKLM\Software\Qorvane\Kinolux"), values
// of type DWORD or string. A value of any other type counts as absent.
// Everything lives in one file per user, $XDG_CONFIG_HOME/Qorvane/settings.reg
// (default ~/.config), rewritten atomically on every change so that a crash
// never loses the settings. Key paths and value names compare without regard
// to case, as the registry's do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kinolux {

// The file of the current user's settings.
std::string SettingsFilePath();

// An accessor bound to one root ("HKLM", "HKCR", "HKCU"). Each operation
// takes the subkey and the value name and returns true on success.
class SettingsStore {
public:
    explicit SettingsStore(std::string root);

    bool ReadDword(std::string_view subkey, std::string_view name, uint32_t& value) const;
    bool WriteDword(std::string_view subkey, std::string_view name, uint32_t value) const;
    bool ReadString(std::string_view subkey, std::string_view name, std::string& value) const;
    bool WriteString(std::string_view subkey, std::string_view name, std::string_view value) const;

private:
    std::string KeyPath(std::string_view subkey) const;
    std::string root_;
};

}  // namespace kinolux
