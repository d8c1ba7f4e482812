// What the window tests share: a program folder of their own (the built one
// linked in, with a private copy of the profile files, whose defaults file
// the windows write), a settings home and an output folder of their own,
// and small movies written with the SWF writer.
#pragma once

#include "platform/program_folder.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "tests/flash/test_movies.h"
#include "tests/flash_control/control_support.h"
#include "tests/platform/built_program_folder.h"
#include "tests/platform/scoped_temp_folder.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace kinolux::testing {

class WindowTestHome {
public:
    WindowTestHome() {
        namespace fs = std::filesystem;
        flash::testing::ensureApplication();
        programFolder_ = folder_ / "bin";
        fs::create_directories(programFolder_);
        for (const auto& entry : fs::directory_iterator(BuiltProgramFolder())) {
            const fs::path target = fs::path(programFolder_) / entry.path().filename();
            if (entry.path().filename() == "ini") fs::copy(entry.path(), target, fs::copy_options::recursive);
            else fs::create_directory_symlink(entry.path(), target);
        }
        SetProgramFolder(programFolder_);
        AppSettings& settings = CurrentAppSettings();
        settings.convertDir = folder_ / "out/";
        fs::create_directories(settings.convertDir);
        settings.firstUse = 1;
        settings.autoShowFormatDialog = 1;
    }
    ~WindowTestHome() { SetProgramFolder(BuiltProgramFolder()); }

    const std::string& Path() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    std::string OutputFolder() const { return CurrentAppSettings().convertDir; }

private:
    ScopedSettingsHome settingsHome_;
    ScopedTempFolder folder_;
    std::string programFolder_;
};

inline std::string WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

// 64x48 with `frames` frames of a red square, optionally on a declared
// background colour.
inline std::vector<std::uint8_t> SmallMovie(int frames, std::optional<swf::Color> background = std::nullopt,
                                            swf::Compression compression = swf::Compression::None) {
    std::vector<swf::Tag> tags;
    if (background) tags.push_back(swf::SetBackgroundColor{*background});
    tags.push_back(testmovies::rect(1, {255, 0, 0, 255}, 0, 0, 16, 16));
    tags.push_back(testmovies::place(1, 1));
    for (int f = 0; f < frames; ++f) tags.push_back(swf::ShowFrame{});
    return testmovies::movie(tags, testmovies::header(64, 48, frames, compression));
}

}  // namespace kinolux::testing
