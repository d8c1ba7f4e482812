// The machine's names the player's native classes are written in.
#pragma once

#include <span>

#include "flash/avm2/builtins/native.h"

namespace flash::as3 {

using kinolux::avm2::arg;
using kinolux::avm2::Class;
using kinolux::avm2::ErrorType;
using kinolux::avm2::Object;
using kinolux::avm2::String;
using kinolux::avm2::Value;
using kinolux::avm2::Vm;
using Args = std::span<const Value>;

}  // namespace flash::as3
