// Stands in for the programs Kinolux starts (xdg-open, a post-processing
// tool, the disc burner): appends one line to $KINOLUX_RECORD_FILE with its
// own file name and every argument, separated by the unit separator 0x1F,
// and exits with $KINOLUX_RECORD_EXIT (0 when unset).
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    const char* file = std::getenv("KINOLUX_RECORD_FILE");
    if (file) {
        const char* slash = std::strrchr(argv[0], '/');
        std::string line = slash ? slash + 1 : argv[0];
        for (int i = 1; i < argc; ++i) line += std::string("\x1f") + argv[i];
        line += "\n";
        int fd = ::open(file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) {
            // One write per line, so that runs at the same time never mix.
            (void)!::write(fd, line.data(), line.size());
            ::close(fd);
        }
    }
    const char* exitCode = std::getenv("KINOLUX_RECORD_EXIT");
    return exitCode ? std::atoi(exitCode) : 0;
}
