#include "shell/console.h"

#include <cstdio>
#include <unistd.h>

namespace kinolux {

void AttachParentConsole() {
    std::fflush(stdout);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
}

void AnnounceCommandLineJob() {
    if (::isatty(STDOUT_FILENO)) return;
    std::fputs("\nThe windows has attached\n\n", stdout);
    std::fflush(stdout);
}

}  // namespace kinolux
