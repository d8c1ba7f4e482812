#include "capture/import_patcher.h"

#include "capture/last_error.h"
#include "capture/loaded_elf.h"
#include "capture/memory_regions.h"
#include "platform/paths.h"
#include "platform/text_compare.h"

#include <dlfcn.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace kinolux {

namespace {

int Fail(uint32_t code) {
    SetLastErrorCode(code);
    return 0;
}

bool DependsOn(const LoadedElf& elf, std::string_view fileName) {
    for (std::string_view needed : elf.needed)
        if (FileNameOf(needed) == fileName) return true;
    return false;
}

// The first entry whose name matches, or -1.
int MatchingEntry(std::string_view name, uint32_t count, const HookEntry* entries) {
    for (uint32_t i = 0; i < count; ++i)
        if (entries[i].name && EqualsIgnoringCase(name, entries[i].name)) return static_cast<int>(i);
    return -1;
}

// A slot of a module bound lazily still points at the module's own
// resolver stub until the first call; recording that stub as the real
// function would let the resolver overwrite the replacement on that first
// call. The function the stub would bind to is looked up instead, in the
// already loaded library (RTLD_NOLOAD: nothing is loaded here).
const void* BoundTarget(const std::string& libraryPath, std::string_view name) {
    void* library = dlopen(libraryPath.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return nullptr;
    const void* target = dlsym(library, std::string(name).c_str());
    dlclose(library);
    return target;
}

// The slot may sit in the read-only part of the table (RELRO, as after
// "-z now"): its pages are made writable for the write only, and get their
// old protection back.
bool WriteSlot(const void** slot, const void* value, const MemoryRegions& memory) {
    const MemoryRegion* region = memory.Find(reinterpret_cast<uintptr_t>(slot));
    if (!region) return false;
    const int oldProtection = region->protection;
    const bool mustUnprotect = !(oldProtection & PROT_WRITE);
    const uintptr_t pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t first = reinterpret_cast<uintptr_t>(slot) & ~(pageSize - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(slot + 1) + pageSize - 1) & ~(pageSize - 1);
    void* pages = reinterpret_cast<void*>(first);
    if (mustUnprotect && mprotect(pages, end - first, oldProtection | PROT_READ | PROT_WRITE) != 0) return false;
    // Other threads of the module may call through the slot right now: the
    // aligned 8-byte store is seen either whole or not at all.
    __atomic_store_n(slot, value, __ATOMIC_SEQ_CST);
    if (mustUnprotect) mprotect(pages, end - first, oldProtection);
    return true;
}

struct PatchRun {
    const LoadedElf& elf;
    const MemoryRegions& memory;
    const LoadedModule& library;
    uint32_t count;
    const HookEntry* entries;
    const void** previousOut;
    uint32_t* patchedCountOut;

    // False (with the last error set) when patching must stop.
    bool Relocation(const Elf64_Rela& relocation) {
        const uint32_t symbolIndex = ELF64_R_SYM(relocation.r_info);
        if (symbolIndex == 0) return true;
        const Elf64_Sym* symbol = elf.Symbol(symbolIndex, memory);
        const auto name = elf.SymbolName(symbolIndex, memory);
        if (!symbol || !name) {
            SetLastErrorCode(kErrorInvalidAddress);
            return true;
        }
        if (symbol->st_shndx != SHN_UNDEF || name->empty()) return true;  // not an import
        const int entry = MatchingEntry(*name, count, entries);
        if (entry < 0 || !entries[entry].replacement) return true;

        auto** slot = reinterpret_cast<const void**>(elf.bias + relocation.r_offset);
        if (!memory.IsReadable(slot, sizeof *slot)) return Fail(kErrorInvalidAddress);
        const void* replacement = entries[entry].replacement;
        const void* current = __atomic_load_n(slot, __ATOMIC_SEQ_CST);
        if (current == replacement) return Fail(kErrorAlreadyInitialized);
        if (elf.Contains(reinterpret_cast<uintptr_t>(current))) current = BoundTarget(library.path, *name);
        if (!current || !memory.IsExecutable(reinterpret_cast<uintptr_t>(current)))
            return Fail(kErrorInvalidAddress);
        if (previousOut) {
            const void* recorded = previousOut[entry];
            if (recorded && recorded != current && recorded != replacement) return Fail(kErrorInvalidAddress);
            previousOut[entry] = current;
        }
        if (!WriteSlot(slot, replacement, memory)) return Fail(kErrorInvalidAddress);
        if (patchedCountOut) ++*patchedCountOut;
        return true;
    }
};

}  // namespace

int PatchImports(ModuleHandle module, const char* importName, uint32_t count, const HookEntry* entries,
                 const void** previousOut, uint32_t* patchedCountOut) {
    const MemoryRegions memory = MemoryRegions::OfThisProcess();
    if (count == 0 || !importName || !memory.IsReadable(entries, count * sizeof(HookEntry)) ||
        (previousOut && !memory.IsWritable(previousOut, count * sizeof(const void*))) ||
        (patchedCountOut && !memory.IsWritable(patchedCountOut, sizeof *patchedCountOut)))
        return Fail(kErrorInvalidAddress);
    if (patchedCountOut) *patchedCountOut = 0;

    LoadedElf elf;
    if (const uint32_t error = ReadLoadedElf(module, memory, elf)) return Fail(error);
    const std::string libraryName = LinuxModuleName(importName);
    if (!DependsOn(elf, libraryName)) return Fail(kErrorSuccess);
    const auto library = FindLoadedModule(libraryName);
    if (!library) return Fail(kErrorModuleNotLoaded);

    if (previousOut)
        for (uint32_t i = 0; i < count; ++i) previousOut[i] = nullptr;
    PatchRun run{elf, memory, *library, count, entries, previousOut, patchedCountOut};
    for (const Elf64_Rela& relocation : elf.pltRelocations)
        if (ELF64_R_TYPE(relocation.r_info) == R_X86_64_JUMP_SLOT && !run.Relocation(relocation)) return 0;
    for (const Elf64_Rela& relocation : elf.dataRelocations)
        if (ELF64_R_TYPE(relocation.r_info) == R_X86_64_GLOB_DAT && !run.Relocation(relocation)) return 0;
    SetLastErrorCode(kErrorSuccess);
    return 1;
}

}  // namespace kinolux
