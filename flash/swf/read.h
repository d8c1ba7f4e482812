// Reading a SWF movie into plain data.
#pragma once

#include "flash/swf/limits.h"
#include "flash/swf/types.h"

namespace swf {

// Reads a whole movie (FWS, CWS or ZWS). Throws Error when the file is not a
// movie at all (bad signature, damaged compressed body, header cut short, too
// large). Damage further in does not throw: a tag that cannot be read is
// skipped, a tag list cut short ends where the data ends, and each such event
// adds a line to Movie::warnings.
// structureBudget caps the memory the parsed records may take.
Movie readMovie(Bytes file, std::size_t structureBudget = limits::kMaxParsedBytes);

// Reads one tag body; throws Error when it is malformed. swfVersion matters
// for strings, clip events and a few version-dependent layouts.
TagBody readTag(std::uint16_t code, Bytes body, std::uint8_t swfVersion);

}  // namespace swf
