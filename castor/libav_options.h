// Options set by name on libav objects (an encoder's context, the muxer's
// context), the way the command line of a transcoder hands every unknown
// switch to them.
#pragma once

#include <string>

namespace castor {

// Sets the option on the object's private options (the encoder's or
// muxer's own) or else on the object. Returns false when neither has such
// an option; throws Failure when the value is refused.
bool SetLibavOption(void* object, const std::string& name, const std::string& value);

}  // namespace castor
