#include "engine/run_encoder.h"

namespace kinolux {

int RunEncoder(EncoderArguments& arguments, CS_ProgressCallback progress) {
    return ffmain(arguments.Count(), arguments.Argv(), progress);
}

}  // namespace kinolux
