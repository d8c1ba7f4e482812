// The machine's limits and the failures that end a run are the ones both
// machines share.
#pragma once

#include "flash/script/limits.h"

namespace kinolux::avm1 {

using script::DepthGuard;
using script::ScriptAbort;
using script::ScriptLimits;
namespace LimitMessage = script::LimitMessage;

}  // namespace kinolux::avm1
