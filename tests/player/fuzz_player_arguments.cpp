// Any command line gives a run or a reason to exit, never a crash.
#include "player/player_arguments.h"

#include <cmath>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string problem;
    const auto arguments =
        kinolux::ParsePlayerCommandLine(std::string_view(reinterpret_cast<const char*>(data), size), problem);
    if (arguments ? !(std::isfinite(arguments->frameRate) && arguments->frameRate > 0) : problem.empty())
        __builtin_trap();
    return 0;
}
