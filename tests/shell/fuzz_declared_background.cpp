// The declared background colour of any bytes: never a crash, never a read
// outside them.
#include "shell/declared_background.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kinolux::DeclaredBackgroundColorRef(std::span<const uint8_t>(data, size));
    return 0;
}
