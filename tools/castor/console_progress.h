// Shows castor's progress on a console: error texts on standard error, the
// encoded position on standard output. Ctrl+C (SIGINT or SIGTERM) asks the
// encoder to stop, which finishes the output up to that point.
#pragma once

namespace castor_tool {

// Installs the signal handlers.
void CatchStopSignals();

// A progress callback for ffmain.
int ConsoleProgress(const char* text, double value);

// Ends the line of a position that was last shown.
void EndProgressLine();

}  // namespace castor_tool
