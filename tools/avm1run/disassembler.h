// A listing of action bytecode, one record a line, for looking into what a
// movie's scripts do.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kinolux::avm1run {

std::string disassemble(std::span<const std::uint8_t> bytes, int swfVersion);

}  // namespace kinolux::avm1run
