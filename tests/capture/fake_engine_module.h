// Loads one of the stand-ins for the engine module (fake_engine.c, built in
// several copies so that each test patches a module of its own) and reaches
// its entries.
#pragma once

#include "capture/loaded_modules.h"
#include "platform/winmm/winmm.h"
#include "tests/capture/cd_quality_format.h"

#include <dlfcn.h>
#include <string>

namespace kinolux::testing {

inline std::string FakeEnginePath(const std::string& fileName) {
    return std::string(KINOLUX_FAKE_ENGINE_DIR) + "/" + fileName;
}

class FakeEngine {
public:
    explicit FakeEngine(const std::string& fileName)
        : path_(FakeEnginePath(fileName)), handle_(dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (!handle_) return;
        time_ = reinterpret_cast<decltype(time_)>(dlsym(handle_, "FakeEngineTime"));
        clockAddress_ = reinterpret_cast<decltype(clockAddress_)>(dlsym(handle_, "FakeEngineClockAddress"));
        open_ = reinterpret_cast<decltype(open_)>(dlsym(handle_, "FakeEngineOpen"));
        write_ = reinterpret_cast<decltype(write_)>(dlsym(handle_, "FakeEngineWrite"));
    }
    ~FakeEngine() {
        if (handle_) dlclose(handle_);
    }
    FakeEngine(const FakeEngine&) = delete;
    FakeEngine& operator=(const FakeEngine&) = delete;

    bool Loaded() const { return handle_ && time_ && clockAddress_ && open_ && write_; }
    const std::string& Path() const { return path_; }
    // Where the module's ELF header is mapped: its handle for the patcher.
    ModuleHandle Header() const {
        Dl_info info{};
        return dladdr(reinterpret_cast<void*>(time_), &info) ? info.dli_fbase : nullptr;
    }

    DWORD Time() const { return time_(); }
    // What the module holds as the address of timeGetTime.
    const void* ClockAddress() const { return clockAddress_(); }
    MMRESULT Open(LPHWAVEOUT phwo, LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR instance,
                  DWORD flags) const {
        return open_(phwo, format, callback, instance, flags);
    }
    MMRESULT Write(HWAVEOUT hwo, LPWAVEHDR header) const { return write_(hwo, header); }

private:
    std::string path_;
    void* handle_ = nullptr;
    DWORD (*time_)() = nullptr;
    void* (*clockAddress_)() = nullptr;
    MMRESULT (*open_)(LPHWAVEOUT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) = nullptr;
    MMRESULT (*write_)(HWAVEOUT, LPWAVEHDR) = nullptr;
};

}  // namespace kinolux::testing
