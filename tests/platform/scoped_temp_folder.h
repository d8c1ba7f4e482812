// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes; optionally made the settings home
// (XDG_CONFIG_HOME) for the lifetime of the object.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kinolux::testing {

class ScopedTempFolder {
public:
    ScopedTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kinolux-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~ScopedTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Points XDG_CONFIG_HOME at a temporary folder so that settings written by
// a test never touch the user's own.
class ScopedSettingsHome {
public:
    ScopedSettingsHome() { ::setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1); }
    ~ScopedSettingsHome() { ::unsetenv("XDG_CONFIG_HOME"); }
    const std::string& path() const { return folder_.path(); }

private:
    ScopedTempFolder folder_;
};

inline void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace kinolux::testing
