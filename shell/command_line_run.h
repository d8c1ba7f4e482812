// The command-line mode of kinolux: help, or the conversion of one movie.
#pragma once

#include "shell/command_line.h"

namespace kinolux {

// Returns the process's exit code: 0 when the help was written or the
// conversion succeeded.
int RunCommandLine(const CommandLineJob& job);

}  // namespace kinolux
