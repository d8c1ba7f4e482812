// Test support for the programs Kinolux starts: argv_recorder put in place
// of them, and what it recorded.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/scoped_temp_folder.h"

namespace kinolux::testing {

using ProgramRun = std::vector<std::string>;  // the program's file name, then its arguments

// A folder of fake programs, first on PATH (and nothing else on it, so the
// machine's own xdg-open or browser is never started), with the record file
// beside it. The recorder's exit code is set with SetExitCode.
class RecordedRuns {
public:
    RecordedRuns() : oldPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        std::filesystem::create_directory(folder_ / "bin");
        ::setenv("PATH", (folder_ / "bin").c_str(), 1);
        ::setenv("KINOLUX_RECORD_FILE", RecordFile().c_str(), 1);
        ::unsetenv("KINOLUX_RECORD_EXIT");
    }
    ~RecordedRuns() {
        ::setenv("PATH", oldPath_.c_str(), 1);
        ::unsetenv("KINOLUX_RECORD_FILE");
        ::unsetenv("KINOLUX_RECORD_EXIT");
    }

    // Puts the recorder under `name` in the PATH folder, or at `path`.
    void AddProgram(const std::string& name) { AddProgramAt(folder_ / ("bin/" + name)); }
    static void AddProgramAt(const std::string& path) { std::filesystem::create_symlink(ARGV_RECORDER, path); }
    void SetExitCode(int code) { ::setenv("KINOLUX_RECORD_EXIT", std::to_string(code).c_str(), 1); }

    std::string RecordFile() const { return folder_ / "runs.txt"; }
    const std::string& Folder() const { return folder_.path(); }

    std::vector<ProgramRun> Runs() const {
        std::vector<ProgramRun> runs;
        std::istringstream lines(ReadTextFile(RecordFile()));
        for (std::string line; std::getline(lines, line);) {
            ProgramRun run;
            std::istringstream fields(line);
            for (std::string field; std::getline(fields, field, '\x1f');) run.push_back(field);
            runs.push_back(run);
        }
        return runs;
    }

    // For programs started without waiting: the runs once there are `count`.
    std::vector<ProgramRun> WaitForRuns(size_t count) const {
        for (int i = 0; i < 6000 && Runs().size() < count; ++i)  // a minute at most
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return Runs();
    }

private:
    ScopedTempFolder folder_;
    std::string oldPath_;
};

}  // namespace kinolux::testing
