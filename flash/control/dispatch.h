// The control's dispatch interface: every operation of the Flash control's
// published scripting interface, by dispatch id, with its kind and
// arguments, as one table (dispatch.cpp) that the module's invoke entry
// reads.
#pragma once

#include "flash/control/control_entries.h"

#include <cstdint>
#include <span>

namespace flash {

class FlashControl;

// Runs the operation `dispid` invoked as `flags` says. Unknown ids, and
// known ids invoked in a way they do not support, give
// FLASH_DISP_E_MEMBERNOTFOUND; a wrong number of arguments
// FLASH_DISP_E_BADPARAMCOUNT; an argument of the wrong type
// FLASH_DISP_E_TYPEMISMATCH; a value out of range FLASH_E_INVALIDARG. A
// failed call changes nothing.
std::int32_t invokeOperation(FlashControl& control, std::int32_t dispid, std::uint16_t flags,
                             std::span<const FlashVariant> args, FlashVariant* result);

}  // namespace flash
