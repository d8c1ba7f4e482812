// A program's whole command line as one text: its own path (quoted when it
// holds a blank), one blank, and its arguments joined by single blanks. Both
// programs scan their switches in that text, so a value may hold blanks.
#pragma once

#include <string>

namespace kinolux {

std::string WholeCommandLine(int argc, const char* const* argv);

}  // namespace kinolux
