// testpattern [--seconds S] [--size WxH] [--rate FPS] [--tone HZ] [--mark N] [--] ARG...
// Encodes a generated moving pattern with a tone through the frame
// callback (with --mark, frame N is white and the tone starts with it), the
// way the program feeds a movie to the encoder: ffmain runs
// with "-i frame_input.kinolux" followed by ARG..., e.g.
//   testpattern --seconds 5 -vcodec h264 -acodec aac out.mp4
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bindings/castor.h"
#include "tools/castor/console_progress.h"
#include "tools/testpattern/pattern_generator.h"

namespace {

bool ReadSwitch(int& i, int argc, char** argv, testpattern::PatternSpec& spec) {
    const std::string name = argv[i];
    if (i + 1 >= argc) {
        return false;
    }
    const char* value = argv[i + 1];
    if (name == "--seconds") {
        spec.seconds = std::atof(value);
    } else if (name == "--rate") {
        spec.frameRate = static_cast<float>(std::atof(value));
    } else if (name == "--mark") {
        spec.markFrame = std::atoi(value);
    } else if (name == "--tone") {
        spec.toneHz = std::atof(value);
    } else if (name == "--size") {
        if (std::sscanf(value, "%dx%d", &spec.width, &spec.height) != 2) {
            return false;
        }
    } else {
        return false;
    }
    ++i;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    testpattern::PatternSpec spec;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (!ReadSwitch(i, argc, argv, spec)) {
            std::fprintf(stderr, "testpattern: bad switch '%s'\n", argv[i]);
            return 1;
        }
    }
    if (i >= argc || spec.seconds <= 0 || spec.seconds > 3600 || spec.frameRate <= 0 ||
        spec.frameRate > 240 || spec.width < 16 || spec.height < 16 || spec.width > 4096 ||
        spec.height > 4096) {
        std::fprintf(stderr,
                     "usage: testpattern [--seconds S] [--size WxH] [--rate FPS] [--tone HZ] [--mark N] [--] "
                     "castor-arguments... OUTPUT\n");
        return 1;
    }
    std::vector<std::string> arguments = {"ffmain", "-i", CASTOR_FRAME_INPUT};
    arguments.insert(arguments.end(), argv + i, argv + argc);
    std::vector<char*> vector;
    for (std::string& argument : arguments) {
        vector.push_back(argument.data());
    }

    testpattern::PatternGenerator generator(spec);
    castor_tool::CatchStopSignals();
    CSInit();
    CS_SetFrameInfoCallBack(testpattern::BindFrameCallback(&generator));
    const int result = ffmain(static_cast<int>(vector.size()), vector.data(), castor_tool::ConsoleProgress);
    castor_tool::EndProgressLine();
    CSExit();
    return result;
}
