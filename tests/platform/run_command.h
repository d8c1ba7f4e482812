// Runs a shell command line in a test and collects what it prints on
// standard output, with its exit code.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace kinolux::testing {

struct CommandResult {
    std::string output;
    int exitCode = -1;  // -1 when it could not run or did not exit normally
};

inline CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace kinolux::testing
