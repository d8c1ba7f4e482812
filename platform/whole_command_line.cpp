#include "platform/whole_command_line.h"

namespace kinolux {

std::string WholeCommandLine(int argc, const char* const* argv) {
    std::string program = argc > 0 && argv[0] ? argv[0] : "kinolux";
    std::string line = program.find(' ') == std::string::npos ? program : "\"" + program + "\"";
    for (int i = 1; i < argc; ++i) line += std::string(" ") + argv[i];
    return line;
}

}  // namespace kinolux
