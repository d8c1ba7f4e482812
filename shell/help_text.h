// The help of the command line.
#pragma once

#include <cstdio>

namespace kinolux {

void WriteHelp(FILE* out);

}  // namespace kinolux
