#include "tools/castor/console_progress.h"

#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace castor_tool {
namespace {

volatile sig_atomic_t stopAsked = 0;
bool lineOpen = false;
double lastShown = -1;

void AskStop(int) { stopAsked = 1; }

}  // namespace

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = AskStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int ConsoleProgress(const char* text, double value) {
    if (value > -2 && value < 0) {
        EndProgressLine();
        std::fprintf(stderr, "%s\n", text);
        return 0;
    }
    if (isatty(STDOUT_FILENO)) {
        std::printf("\r%s", text);
        std::fflush(stdout);
        lineOpen = true;
    } else if (std::floor(value) != std::floor(lastShown)) {
        std::printf("%s\n", text);  // one line per second of output in a log
    }
    lastShown = value;
    return stopAsked ? -1 : 0;
}

void EndProgressLine() {
    if (lineOpen) {
        std::printf("\n");
        lineOpen = false;
    }
}

}  // namespace castor_tool
