#include "capture/loaded_elf.h"

#include "capture/last_error.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kinolux {

namespace {

// The dynamic loader relocates the address entries of the dynamic section
// in place on x86-64; on objects where it left them as file addresses they
// are still below the load address. Either way this gives the address.
uintptr_t DynamicAddress(const LoadedElf& elf, uint64_t value) {
    return value >= elf.bias ? value : elf.bias + value;
}

bool HasElfIdentity(const Elf64_Ehdr& header) {
    return header.e_ident[EI_CLASS] == ELFCLASS64 && header.e_ident[EI_DATA] == ELFDATA2LSB &&
           header.e_machine == EM_X86_64 && (header.e_type == ET_DYN || header.e_type == ET_EXEC) &&
           header.e_phentsize == sizeof(Elf64_Phdr) && header.e_phnum > 0;
}

std::optional<std::span<const Elf64_Rela>> RelocationTable(const LoadedElf& elf, uint64_t address, uint64_t size,
                                                          const MemoryRegions& memory) {
    if (size == 0) return std::span<const Elf64_Rela>();
    const auto* table = reinterpret_cast<const Elf64_Rela*>(DynamicAddress(elf, address));
    if (address == 0 || size % sizeof(Elf64_Rela) != 0 || !memory.IsReadable(table, size)) return std::nullopt;
    return std::span<const Elf64_Rela>(table, size / sizeof(Elf64_Rela));
}

struct DynamicValues {
    uint64_t strtab = 0, strsz = 0, symtab = 0, syment = 0;
    uint64_t jmprel = 0, pltrelsz = 0, pltrel = DT_RELA;
    uint64_t rela = 0, relasz = 0, relaent = sizeof(Elf64_Rela);
    std::vector<uint64_t> needed;
};

std::optional<DynamicValues> ReadDynamic(const Elf64_Dyn* dynamic, size_t count) {
    DynamicValues values;
    for (size_t i = 0; i < count && dynamic[i].d_tag != DT_NULL; ++i) {
        const uint64_t v = dynamic[i].d_un.d_val;
        switch (dynamic[i].d_tag) {
        case DT_NEEDED: values.needed.push_back(v); break;
        case DT_STRTAB: values.strtab = v; break;
        case DT_STRSZ: values.strsz = v; break;
        case DT_SYMTAB: values.symtab = v; break;
        case DT_SYMENT: values.syment = v; break;
        case DT_JMPREL: values.jmprel = v; break;
        case DT_PLTRELSZ: values.pltrelsz = v; break;
        case DT_PLTREL: values.pltrel = v; break;
        case DT_RELA: values.rela = v; break;
        case DT_RELASZ: values.relasz = v; break;
        case DT_RELAENT: values.relaent = v; break;
        default: break;
        }
    }
    if (values.strtab == 0 || values.symtab == 0 || values.syment != sizeof(Elf64_Sym)) return std::nullopt;
    if (values.pltrel != DT_RELA || values.relaent != sizeof(Elf64_Rela)) return std::nullopt;
    return values;
}

}  // namespace

const Elf64_Sym* LoadedElf::Symbol(uint32_t index, const MemoryRegions& memory) const {
    const auto* symbol = reinterpret_cast<const Elf64_Sym*>(reinterpret_cast<uintptr_t>(symbols) +
                                                            uintptr_t(index) * sizeof(Elf64_Sym));
    return memory.IsReadable(symbol, sizeof *symbol) ? symbol : nullptr;
}

std::optional<std::string_view> LoadedElf::SymbolName(uint32_t index, const MemoryRegions& memory) const {
    const Elf64_Sym* symbol = Symbol(index, memory);
    if (!symbol || symbol->st_name >= stringsSize) return std::nullopt;
    const char* name = strings + symbol->st_name;
    return std::string_view(name, strnlen(name, stringsSize - symbol->st_name));
}

uint32_t ReadLoadedElf(ModuleHandle module, const MemoryRegions& memory, LoadedElf& elf) {
    if (!module) return kErrorInvalidParameter;
    const auto* header = static_cast<const Elf64_Ehdr*>(module);
    if (!memory.IsReadable(header, sizeof *header) || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0)
        return kErrorBadExeFormat;
    if (!HasElfIdentity(*header)) return kErrorInvalidExeSignature;

    const auto* base = static_cast<const unsigned char*>(module);
    const auto* segments = reinterpret_cast<const Elf64_Phdr*>(base + header->e_phoff);
    const size_t segmentBytes = size_t(header->e_phnum) * sizeof(Elf64_Phdr);
    if (header->e_phoff > std::numeric_limits<uintptr_t>::max() - reinterpret_cast<uintptr_t>(base) ||
        !memory.IsReadable(segments, segmentBytes))
        return kErrorInvalidExeSignature;

    const Elf64_Phdr* first = nullptr;
    const Elf64_Phdr* dynamic = nullptr;
    uint64_t lowest = std::numeric_limits<uint64_t>::max(), highest = 0;
    for (const Elf64_Phdr& segment : std::span(segments, header->e_phnum)) {
        if (segment.p_type == PT_DYNAMIC) dynamic = &segment;
        if (segment.p_type != PT_LOAD) continue;
        if (segment.p_offset == 0) first = &segment;
        lowest = std::min(lowest, segment.p_vaddr);
        highest = std::max(highest, segment.p_vaddr + segment.p_memsz);
    }
    if (!first || !dynamic) return kErrorInvalidExeSignature;
    elf.bias = reinterpret_cast<uintptr_t>(module) - first->p_vaddr;
    elf.imageStart = elf.bias + lowest;
    elf.imageEnd = elf.bias + highest;

    const auto* entries = reinterpret_cast<const Elf64_Dyn*>(elf.bias + dynamic->p_vaddr);
    if (!memory.IsReadable(entries, dynamic->p_memsz)) return kErrorInvalidExeSignature;
    const auto values = ReadDynamic(entries, dynamic->p_memsz / sizeof(Elf64_Dyn));
    if (!values) return kErrorInvalidExeSignature;

    elf.strings = reinterpret_cast<const char*>(DynamicAddress(elf, values->strtab));
    elf.stringsSize = values->strsz;
    elf.symbols = reinterpret_cast<const Elf64_Sym*>(DynamicAddress(elf, values->symtab));
    if (!memory.IsReadable(elf.strings, elf.stringsSize)) return kErrorInvalidExeSignature;
    elf.needed.clear();
    for (uint64_t offset : values->needed) {
        if (offset >= elf.stringsSize) return kErrorInvalidExeSignature;
        elf.needed.emplace_back(elf.strings + offset, strnlen(elf.strings + offset, elf.stringsSize - offset));
    }
    const auto plt = RelocationTable(elf, values->jmprel, values->pltrelsz, memory);
    const auto data = RelocationTable(elf, values->rela, values->relasz, memory);
    if (!plt || !data) return kErrorInvalidExeSignature;
    elf.pltRelocations = *plt;
    elf.dataRelocations = *data;
    return kErrorSuccess;
}

}  // namespace kinolux
