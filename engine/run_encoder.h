// The call of the encoder library with a built vector.
#pragma once

#include "bindings/castor.h"
#include "engine/encoder_arguments.h"

namespace kinolux {

// Runs one encoding on the calling thread; 0 when the output was written
// completely. The frame callback, if any, is registered by the caller.
int RunEncoder(EncoderArguments& arguments, CS_ProgressCallback progress);

}  // namespace kinolux
