#include "capture/flash_control_module.h"

#include "capture/flash_module.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"

#include <dlfcn.h>
#include <mutex>
#include <vector>

namespace kinolux {

namespace {

std::vector<std::string> CandidatePaths()
{
    std::vector<std::string> paths{GetProgramFolder(true) + kFlashModuleFileName};
    std::string registered;
    if (SettingsStore("HKCR").ReadString(kFlashControlServerKey, "", registered) && !registered.empty())
        paths.push_back(registered);
    return paths;
}

template <typename Entry>
bool Resolve(void* module, const char* name, Entry& entry)
{
    entry = reinterpret_cast<Entry>(dlsym(module, name));
    return entry != nullptr;
}

bool ResolveAll(void* module, FlashControlEntries& entries)
{
    return Resolve(module, "FlashControlCreate", entries.create) &&
           Resolve(module, "FlashControlInvoke", entries.invoke) &&
           Resolve(module, "FlashControlAdvise", entries.advise) &&
           Resolve(module, "FlashControlPrint", entries.print) &&
           Resolve(module, "FlashVariantClear", entries.clearVariant);
}

}  // namespace

const FlashControlEntries* LoadFlashControlModule(std::string* error)
{
    static std::mutex mutex;
    static FlashControlEntries entries;
    static bool loaded = false;
    std::lock_guard lock(mutex);
    if (loaded) return &entries;

    std::string reasons;
    for (const std::string& path : CandidatePaths()) {
        if (!PathExists(path)) {
            reasons += (reasons.empty() ? "" : "; ") + path + " is missing";
            continue;
        }
        // Never closed: controls made by the module live until the process ends.
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* why = dlerror();
            reasons += (reasons.empty() ? "" : "; ") + std::string(why ? why : path + " cannot be loaded");
            continue;
        }
        if (!ResolveAll(module, entries)) {
            dlclose(module);
            reasons += (reasons.empty() ? "" : "; ") + path + " is not the Flash engine module";
            continue;
        }
        Resolve(module, "FlashControlFrameDrawing", entries.frameDrawing);
        loaded = true;
        return &entries;
    }
    if (error) *error = "The Flash engine module cannot be loaded: " + reasons;
    return nullptr;
}

}  // namespace kinolux
