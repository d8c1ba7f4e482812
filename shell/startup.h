// The entry of kinolux: start-up in its fixed order, then the command-line
// mode or the window, and the encoder's clean-up at exit.
#pragma once

namespace kinolux {

// Returns the process's exit code.
int RunKinolux(int argc, char** argv);

}  // namespace kinolux
