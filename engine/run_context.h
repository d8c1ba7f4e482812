// What whoever starts a conversion gives it, in place of process-wide state:
// the task, the folder for temporary files and how the user is reached.
#pragma once

#include "engine/conversion_task.h"

#include <string>

namespace kinolux {

struct RunContext {
    // The caller keeps the task alive until the run has closed; the run
    // changes only its output mode (a short range runs in one pass).
    ConversionTask* task = nullptr;
    // The default output folder, ending in "/"; empty: the program folder's
    // "output/".
    std::string temporaryFolder;
    // The command-line conversion: percentages and messages are printed.
    bool consoleMode = false;
    // Auto conversions capture the movie's sound here on the virtual clock,
    // as fast as the machine steps it, with no player in real time.
    bool fast = false;
};

}  // namespace kinolux
