// -target: the disc formats of a command-line transcoder ("vcd", "svcd",
// "dvd", each optionally prefixed "pal-", "ntsc-" or "film-"). A target
// fills in whatever the vector leaves unset: the container, the codecs, the
// frame size and rate, the bit rates and the multiplexer's packet sizes.
#pragma once

#include <string>

#include "castor/options.h"

namespace castor {

// An empty string when the name is a known target, else the message.
std::string CheckTargetName(const std::string& name);

// The muxer a target writes ("vcd", "svcd" or "dvd"); empty when the name
// is not a target.
std::string TargetFormat(const std::string& name);

// Fills the unset options (all but the container, see TargetFormat) from
// the target. Without a prefix the television
// standard follows the input's frame rate: 25 or 50 (or 12.5) frames per
// second is PAL, 24 or 23.976 is film, anything else NTSC.
void ApplyTarget(Options& options, double inputFrameRate);

}  // namespace castor
