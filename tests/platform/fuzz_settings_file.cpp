// Any bytes parse into settings that serialise and parse back unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    kinolux::SettingsFile file = kinolux::SettingsFile::Parse(text);
    std::string once = file.Serialize();
    if (kinolux::SettingsFile::Parse(once).Serialize() != once) __builtin_trap();
    return 0;
}
