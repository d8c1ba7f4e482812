// What the control host's tests share: the application object, the engine
// module found beside the test programs' program folder, and movies written
// to files.
#pragma once

#include "platform/program_folder.h"
#include "tests/flash_control/control_support.h"
#include "tests/platform/built_program_folder.h"

namespace kinolux::testing {

// The engine module is loaded from the program folder, as the programs load it.
inline void UseBuiltProgramFolder()
{
    SetProgramFolder(BuiltProgramFolder());
    flash::testing::ensureApplication();
}

inline std::string BuiltModulePath()
{
    return BuiltProgramFolder() + "/libflash.so";
}

}  // namespace kinolux::testing
