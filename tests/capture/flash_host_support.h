// What the control host's tests share: the application object, the engine
// module found beside the test programs' program folder, and movies written
// to files.
#pragma once

#include "platform/program_folder.h"
#include "tests/flash_control/control_support.h"

#include <cstdlib>

namespace kinolux::testing {

// The engine module is loaded from the program folder, as the programs load it.
inline void UseBuiltProgramFolder()
{
    const char* env = std::getenv("KINOLUX_BIN_DIR");
    SetProgramFolder(env && *env ? env : KINOLUX_BIN_DIR);
    flash::testing::ensureApplication();
}

inline std::string BuiltModulePath()
{
    const char* env = std::getenv("KINOLUX_BIN_DIR");
    return std::string(env && *env ? env : KINOLUX_BIN_DIR) + "/libflash.so";
}

}  // namespace kinolux::testing
