#include "capture/loaded_modules.h"

#include "platform/paths.h"
#include "platform/text_compare.h"

#include <link.h>

namespace kinolux {

namespace {

struct Search {
    std::string_view fileName;
    std::optional<LoadedModule> found;
};

// The ELF header is the start of the file, so it is mapped where the
// segment that begins at file offset 0 is.
ModuleHandle HeaderAddress(const dl_phdr_info& info) {
    for (ElfW(Half) i = 0; i < info.dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info.dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && segment.p_offset == 0)
            return reinterpret_cast<ModuleHandle>(info.dlpi_addr + segment.p_vaddr);
    }
    return nullptr;
}

int VisitLoadedObject(dl_phdr_info* info, size_t, void* context) {
    auto* search = static_cast<Search*>(context);
    if (!info->dlpi_name || !*info->dlpi_name || FileNameOf(info->dlpi_name) != search->fileName) return 0;
    ModuleHandle header = HeaderAddress(*info);
    if (!header) return 0;
    search->found = LoadedModule{header, info->dlpi_name};
    return 1;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::optional<LoadedModule> FindLoadedModule(std::string_view fileName) {
    if (fileName.empty()) return std::nullopt;
    Search search{fileName, std::nullopt};
    dl_iterate_phdr(VisitLoadedObject, &search);
    return search.found;
}

std::string LinuxModuleName(std::string_view windowsName) {
    constexpr size_t kExtension = 4;
    if (windowsName.size() <= kExtension) return std::string(windowsName);
    const std::string_view extension = windowsName.substr(windowsName.size() - kExtension);
    if (!EqualsIgnoringCase(extension, ".dll") && !EqualsIgnoringCase(extension, ".ocx"))
        return std::string(windowsName);
    std::string name = "lib";
    for (char c : windowsName.substr(0, windowsName.size() - kExtension)) name += LowerAscii(c);
    return name + ".so";
}

}  // namespace kinolux
