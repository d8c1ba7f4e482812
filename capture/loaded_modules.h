// Looking up shared objects that are already loaded in this process, the way
// GetModuleHandleA looks up Windows modules: by file name, never loading
// anything.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kinolux {

// A loaded shared object, named by the address where its ELF header is
// mapped, as a Windows module handle is the address of its image.
using ModuleHandle = const void*;

struct LoadedModule {
    ModuleHandle handle = nullptr;
    std::string path;  // as the dynamic loader recorded it
};

// The loaded object whose file name (the text after the last "/") is
// exactly `fileName`; the first in load order when several are. The main
// program itself has no name and is never found.
std::optional<LoadedModule> FindLoadedModule(std::string_view fileName);

// The file name that a Windows module name stands for in this system:
// "WINMM.DLL" is "libwinmm.so", "Flash8.ocx" is "libflash8.so". Names
// without a ".dll" or ".ocx" extension are already file names here.
std::string LinuxModuleName(std::string_view windowsName);

}  // namespace kinolux
