// A copy of the built program folder as a user has it: the programs, their
// libraries and the data folders, and nothing the build keeps beside them.
// A program started from it finds its folder there, not in the build.
#pragma once

#include <filesystem>
#include <string>

namespace kinolux::testing {

inline void CopyProgramFolder(const std::filesystem::path& built, const std::filesystem::path& copy) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(built)) {
        const std::string name = entry.path().filename();
        if (name == "kinolux" || name == "kinoluxplayer" || name.rfind("lib", 0) == 0)
            fs::copy(entry.path(), copy / name);
    }
    for (const char* folder : {"ini", "language", "resources", "samples"})
        fs::copy(built / folder, copy / folder, fs::copy_options::recursive);
}

}  // namespace kinolux::testing
