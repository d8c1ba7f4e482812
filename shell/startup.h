// The entry of kinolux: start-up in its fixed order, then the command-line
// mode or the window, and the encoder's clean-up at exit.
#pragma once

class QApplication;

namespace kinolux {

// The skin and the dialog colours every window of the program wears.
void PrepareApplicationLook(QApplication& app);

// Returns the process's exit code.
int RunKinolux(int argc, char** argv);

}  // namespace kinolux
