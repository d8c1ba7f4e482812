// The engine module as the control host reaches it: loaded once per process
// by its file, like an in-process server found by its class id, and used
// only through its exported control entries (flash/control/control_entries.h).
#pragma once

#include "flash/control/control_entries.h"

#include <string>

namespace kinolux {

inline constexpr const char* kFlashModuleFileName = "libflash.so";

struct FlashControlEntries {
    decltype(&::FlashControlCreate) create = nullptr;
    decltype(&::FlashControlInvoke) invoke = nullptr;
    decltype(&::FlashControlAdvise) advise = nullptr;
    decltype(&::FlashControlPrint) print = nullptr;
    decltype(&::FlashVariantClear) clearVariant = nullptr;
    // Optional: null for an engine that cannot tell when a frame is drawn.
    decltype(&::FlashControlFrameDrawing) frameDrawing = nullptr;
};

// The module beside the program (its program folder), or else the one the
// settings store registers for the control's class id (the file the
// "InprocServer32" key names), loaded the first time and then kept for the
// process's life. Null, with the reason in *error, when neither can be
// loaded or the module lacks an entry; a later call tries again.
const FlashControlEntries* LoadFlashControlModule(std::string* error = nullptr);

}  // namespace kinolux
