// What the import patcher reads from a loaded ELF shared object: its header
// checks, where it is mapped, the libraries it depends on, and the
// relocations that fill its global offset table.
#pragma once

#include "capture/loaded_modules.h"
#include "capture/memory_regions.h"

#include <cstdint>
#include <elf.h>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kinolux {

struct LoadedElf {
    uintptr_t bias = 0;        // added to every virtual address of the file
    uintptr_t imageStart = 0;  // the range its load segments occupy
    uintptr_t imageEnd = 0;
    const char* strings = nullptr;
    size_t stringsSize = 0;
    const Elf64_Sym* symbols = nullptr;
    std::vector<std::string_view> needed;   // DT_NEEDED, in order
    std::span<const Elf64_Rela> pltRelocations;   // DT_JMPREL
    std::span<const Elf64_Rela> dataRelocations;  // DT_RELA

    // A symbol's name, or nothing when the symbol entry is not readable or
    // its name lies outside the string table.
    std::optional<std::string_view> SymbolName(uint32_t index, const MemoryRegions& memory) const;
    const Elf64_Sym* Symbol(uint32_t index, const MemoryRegions& memory) const;
    bool Contains(uintptr_t address) const { return address >= imageStart && address < imageEnd; }
};

// Reads the module mapped at `module`. Returns 0 and fills `elf`, or the
// last-error code of the failure: kErrorInvalidParameter for a null module,
// kErrorBadExeFormat when no ELF header is readable there,
// kErrorInvalidExeSignature when it is not a loaded x86-64 ELF64 object
// with program headers, load segments and a readable dynamic section.
uint32_t ReadLoadedElf(ModuleHandle module, const MemoryRegions& memory, LoadedElf& elf);

}  // namespace kinolux
