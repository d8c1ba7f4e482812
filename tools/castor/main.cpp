// castor ARG...: runs one encoder argument vector, for example
//   castor -i in.avi -vcodec mpeg4 -acodec mp3 -b 800 -ab 128 -s 320x240 out.avi
// Like a transcoder that cannot ask, it refuses to replace an existing
// output unless given -y. The exit status is 0 only when the output was
// written completely.
#include <cstdio>
#include <cstring>
#include <vector>

#include "bindings/castor.h"
#include "castor/options.h"
#include "tools/castor/console_progress.h"

namespace {

void PrintHelp() {
    std::printf("usage: castor [options] -i INPUT [options] OUTPUT\n\n"
                "Encodes INPUT (any file libavformat reads) into OUTPUT; the container follows\n"
                "-f or the output's extension. Sizes, rates and codecs not given are chosen for\n"
                "the devices that play that container. An existing OUTPUT is kept unless -y.\n\n%s",
                castor::OptionHelpText().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp();
        return argc < 2 ? 1 : 0;
    }
    std::vector<char*> vector(argv, argv + argc);
    static char name[] = "ffmain";
    vector[0] = name;
    castor_tool::CatchStopSignals();
    CSInit();
    const int result = ffmain(argc, vector.data(), castor_tool::ConsoleProgress);
    castor_tool::EndProgressLine();
    CSExit();
    return result;
}
