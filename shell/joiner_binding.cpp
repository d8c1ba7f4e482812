#include "shell/joiner_binding.h"

#include <dlfcn.h>

#include "platform/report.h"

namespace kinolux {

JoinerBinding::~JoinerBinding() { Release(); }

bool JoinerBinding::Load(const std::string& libraryPath) {
    Release();
    library_ = ::dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        DebugOutput(std::string("joiner: ") + ::dlerror());
        return false;
    }
    getTrackInfo_ = reinterpret_cast<NX_TS_GETTRACKINFO>(::dlsym(library_, "nx_ts_gettrackinfo"));
    makeFolder_ = reinterpret_cast<NX_TS_CBDFOLDER>(::dlsym(library_, "nx_ts_cbdfolder"));
    freeTrackInfo_ = reinterpret_cast<NX_TS_FREETRACKINFO>(::dlsym(library_, "nx_ts_freetrackinfo"));
    setCallback_ = reinterpret_cast<NX_SETCALLBACKFUNC>(::dlsym(library_, "nx_setcallbackfunc"));
    if (getTrackInfo_ && makeFolder_ && freeTrackInfo_ && setCallback_) return true;
    DebugOutput("joiner: " + libraryPath + " lacks an entry");
    Release();
    return false;
}

void JoinerBinding::Release() {
    if (library_) ::dlclose(library_);
    library_ = nullptr;
    getTrackInfo_ = nullptr;
    makeFolder_ = nullptr;
    freeTrackInfo_ = nullptr;
    setCallback_ = nullptr;
}

int32_t JoinerBinding::SetCallback(NX_PROGRESS_CALLBACK callback) const {
    return setCallback_ ? setCallback_(callback) : -1;
}

int32_t JoinerBinding::GetTrackInfo(const std::string& tsPath, void** trackInfo) const {
    return getTrackInfo_ ? getTrackInfo_(tsPath.c_str(), trackInfo) : -1;
}

int32_t JoinerBinding::MakeBluRayFolder(const std::string& folder, void* trackInfo, int32_t mode) const {
    return makeFolder_ ? makeFolder_(folder.c_str(), trackInfo, mode) : -1;
}

int32_t JoinerBinding::FreeTrackInfo(void* trackInfo) const {
    return freeTrackInfo_ ? freeTrackInfo_(trackInfo) : -1;
}

JoinerBinding& Joiner() {
    static JoinerBinding binding;
    return binding;
}

}  // namespace kinolux
