// The muxer library, loaded at run time from the program folder. When the
// library or any of its four entries is missing, every call does nothing
// and yields -1.
#pragma once

#include <string>

#include "bindings/joiner.h"

namespace kinolux {

inline constexpr const char* kJoinerLibraryName = "libjoiner.so";

class JoinerBinding {
public:
    ~JoinerBinding();

    // Releases an earlier load, then loads `libraryPath` and looks up its
    // entries; false (and every entry cleared) when anything is missing.
    bool Load(const std::string& libraryPath);
    void Release();
    bool Loaded() const { return library_ != nullptr; }

    int32_t SetCallback(NX_PROGRESS_CALLBACK callback) const;
    int32_t GetTrackInfo(const std::string& tsPath, void** trackInfo) const;
    int32_t MakeBluRayFolder(const std::string& folder, void* trackInfo, int32_t mode) const;
    int32_t FreeTrackInfo(void* trackInfo) const;

private:
    void* library_ = nullptr;
    NX_TS_GETTRACKINFO getTrackInfo_ = nullptr;
    NX_TS_CBDFOLDER makeFolder_ = nullptr;
    NX_TS_FREETRACKINFO freeTrackInfo_ = nullptr;
    NX_SETCALLBACKFUNC setCallback_ = nullptr;
};

// The one binding of the process.
JoinerBinding& Joiner();

}  // namespace kinolux
