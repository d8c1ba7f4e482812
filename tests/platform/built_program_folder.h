// The program folder the build made, where the tests find the programs,
// libraries and sample files: KINOLUX_BIN_DIR from the environment (ctest
// sets it), else the folder this test program was built beside.
#pragma once

#include <cstdlib>
#include <string>

namespace kinolux::testing {

inline std::string BuiltProgramFolder() {
    const char* env = std::getenv("KINOLUX_BIN_DIR");
    return env && *env ? env : KINOLUX_BIN_DIR;
}

}  // namespace kinolux::testing
