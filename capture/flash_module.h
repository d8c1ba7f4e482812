// Finding the module of the SWF engine that the process has already loaded
// (the Flash control's "OCX"), so its imports can be redirected.
#pragma once

#include "capture/loaded_modules.h"

namespace kinolux {

// Where the control's module is registered: the default value of this key
// under the "HKCR" root of the settings store.
inline constexpr const char* kFlashControlServerKey = "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

// The registered module if it is loaded, else the first loaded one of the
// usual module names ("Flash.ocx", "Flash8.ocx", "swflash.ocx" in their
// Linux names); null when none is. Never loads anything: the callers create
// a window holding the control first, which loads the module.
ModuleHandle FindFlashModule();

}  // namespace kinolux
