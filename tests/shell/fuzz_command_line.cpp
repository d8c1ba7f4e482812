// Any command line scans without overrunning, and every value it yields is
// within its limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kinolux::CommandLineJob job;
    job.commandLine.assign(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (kinolux::ParseCommandLine(job, error) == kinolux::ParseResult::Refused) return 0;
    for (const std::string* value : {&job.inputFile, &job.outputFile, &job.inFrame, &job.outFrame, &job.outputMode,
                                     &job.frameDuration, &job.profileFile, &job.profileName})
        if (value->size() > kinolux::kMaxSwitchValue) __builtin_trap();
    return 0;
}
