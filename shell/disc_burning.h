// Handing a run's burnable outputs to the disc burner. Every converted task
// whose profile can be burnt, and whose disc type matches the first such
// task's, adds its output (and the further parts of an output larger than
// a disc file may be) to one command:
//   burn -f "/out/a.vob" "/out/a1.vob" "/out/b.vob" -t dvd
// which the burner receives as its one argument.
#pragma once

#include <cstdint>
#include <string>

#include "engine/conversion_task.h"

namespace kinolux {

// An output larger than this continues in parts named with a "1" inserted
// before the extension: x.vob, x1.vob, x11.vob ...
inline constexpr uint64_t kLargestSinglePart = 2000000000;

struct BurnList {
    std::string command = "burn -f ";
    std::string discType;
    bool requested = false;
};

// The name of the part after `path`.
std::string NextPartPath(const std::string& path);

// After each converted task of a run.
void CollectBurnableOutput(BurnList& list, const ConversionTask& task);

// The command with "-t " and the disc type when something was collected.
std::string FinalBurnCommand(const BurnList& list);

// After the run: when something was collected, asks whether to start the
// burner (console mode answers no) and starts program folder + "/Disc Forge"
// with the command. True when it was started; a missing burner fails
// silently.
bool LaunchDiscBurner(const BurnList& list);

}  // namespace kinolux
