// What tests need from outside the repository: the shared corpus and tools
// such as ffmpeg, ffprobe and dbus-daemon. A test that finds one missing
// skips, unless KINOLUX_REQUIRE_CORPUS is 1 (scripts/test sets it, and CI
// runs scripts/test): then it fails, so that a machine set up wrongly cannot
// pass by skipping.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace kinolux::testing {

// The shared corpus: the environment's folder, else the one the build knows.
inline std::filesystem::path CorpusDir()
{
    const char* env = std::getenv("KINOLUX_CORPUS_DIR");
    return env && *env ? env : KINOLUX_CORPUS_DIR;
}

inline bool MissingRequirementFails()
{
    const char* env = std::getenv("KINOLUX_REQUIRE_CORPUS");
    return env && std::string_view(env) == "1";
}

// A program of that name in a folder of PATH that we may run.
inline bool ProgramOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate)) return true;
    }
    return false;
}

}  // namespace kinolux::testing

// Ends the test (or its SetUp) for want of `what`: a skip, or a failure
// where everything is required.
#define KINOLUX_MISSING(what)                                                              \
    do {                                                                                   \
        if (::kinolux::testing::MissingRequirementFails()) GTEST_FAIL() << "missing: " << what; \
        GTEST_SKIP() << "missing: " << what;                                               \
    } while (0)
