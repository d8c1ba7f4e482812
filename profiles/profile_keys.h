// The one table of a profile's stored keys, in the order they are written:
// reading, writing and anything else that walks the keys use it.
#pragma once

#include <span>

#include "profiles/profile_settings.h"

namespace kinolux {

struct ProfileKey {
    const char* name;
    std::string ProfileSettings::*text = nullptr;  // with its field width
    size_t width = 0;
    int32_t ProfileSettings::*integer = nullptr;
    float ProfileSettings::*real = nullptr;
};

// The 42 keys in the order a profile is written.
std::span<const ProfileKey> ProfileKeys();

}  // namespace kinolux
