// Redirecting a loaded module's imports: the slots of its global offset
// table that the dynamic loader filled with the addresses of functions from
// another library are rewritten to point at replacements. Patching is for
// the life of the process; nothing is ever unpatched.
#pragma once

#include "capture/loaded_modules.h"

#include <cstdint>

namespace kinolux {

struct HookEntry {
    const char* name = nullptr;            // the imported function, matched without regard to case
    const void* replacement = nullptr;     // null: a matching slot is left alone
};

// Rewrites the slots of `module` through which it calls the functions named
// by `entries` in the library `importName` (a Windows name such as
// "WINMM.DLL" stands for its Linux file name, see LinuxModuleName). The
// address each slot held before is stored in previousOut[i] (null for a
// function the module does not import), the number of slots rewritten in
// *patchedCountOut; both may be null.
//
// Returns 1 on success, else 0 with LastErrorCode():
//   kErrorInvalidAddress     no entries, no name, arguments not readable or
//                            writable; a slot whose target is not code; a
//                            second slot of one function that calls elsewhere
//   kErrorInvalidParameter   a null module
//   kErrorBadExeFormat       no ELF header at `module`
//   kErrorInvalidExeSignature not a loaded x86-64 ELF64 object with a
//                            dynamic section
//   kErrorSuccess            the module does not depend on `importName`
//   kErrorModuleNotLoaded    `importName` is not loaded in this process
//   kErrorAlreadyInitialized a slot already holds its replacement
// A function that the module does not import (or only looks up at run time)
// is no failure: its previous address stays null.
int PatchImports(ModuleHandle module, const char* importName, uint32_t count, const HookEntry* entries,
                 const void** previousOut, uint32_t* patchedCountOut);

}  // namespace kinolux
