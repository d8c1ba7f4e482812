#include "capture/flash_module.h"

#include "platform/paths.h"
#include "platform/settings_store.h"

#include <array>
#include <string>

namespace kinolux {

ModuleHandle FindFlashModule() {
    std::string registered;
    if (SettingsStore("HKCR").ReadString(kFlashControlServerKey, "", registered)) {
        if (auto module = FindLoadedModule(FileNameOf(registered))) return module->handle;
    }
    constexpr std::array<std::string_view, 3> kUsualNames = {"Flash.ocx", "Flash8.ocx", "swflash.ocx"};
    for (std::string_view name : kUsualNames) {
        if (auto module = FindLoadedModule(LinuxModuleName(name))) return module->handle;
    }
    return nullptr;
}

}  // namespace kinolux
