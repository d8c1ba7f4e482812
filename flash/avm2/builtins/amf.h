// The Action Message Format that ByteArray.writeObject and readObject
// speak, in its two versions (AMF0 and AMF3).
#pragma once

#include <string>
#include <string_view>

#include "flash/avm2/vm.h"

namespace kinolux::avm2 {

// Appends a value's encoding (0: AMF0, otherwise AMF3) to `out`.
void writeAmf(Vm& vm, std::string& out, const Value& v, int encoding);

// Reads one value from `bytes` at `position`, which moves past it. The
// stream is outside input: a truncated one throws the player's EOFError,
// a malformed one its RangeError, and nothing is read outside `bytes`.
Value readAmf(Vm& vm, std::string_view bytes, std::size_t& position, int encoding);

// registerClassAlias, getClassByAlias and ObjectEncoding.
void installAmfFunctions(Vm& vm);

}  // namespace kinolux::avm2
