// The machine's strings are the ones it shares with the player core and the
// other machine.
#pragma once

#include "flash/script/string.h"

namespace kinolux::avm1 {

using script::foldCase;
using script::String;
using script::toUtf8;

}  // namespace kinolux::avm1
