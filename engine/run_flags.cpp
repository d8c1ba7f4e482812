#include "engine/run_flags.h"

namespace kinolux {

RunFlags& CurrentRunFlags() {
    static RunFlags flags;
    return flags;
}

}  // namespace kinolux
