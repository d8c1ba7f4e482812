// A listing of action bytecode, one record a line, for looking into what a
// movie's scripts do.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "flash/swf/types.h"

namespace swfrender {

std::string disassemble(std::span<const std::uint8_t> bytes, int swfVersion);
// Every script of a movie (frame actions, init actions, clip events, button
// actions), each under a heading that says where it sits.
std::string listActions(const swf::Movie& movie);

}  // namespace swfrender
