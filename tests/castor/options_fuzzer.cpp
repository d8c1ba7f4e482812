// Command lines are outside input: splits the fuzzer's bytes into an
// argument vector (at zero bytes and line feeds) and runs the option
// parser over it. Parsing only; nothing is encoded. Seeds:
//   scripts/fuzz castor_options_fuzzer 60 tests/castor/options_seeds
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "castor/options.h"
#include "castor/target_presets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments = {"ffmain"};
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\0' || c == '\n') {
            arguments.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    arguments.push_back(current);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    castor::Options options;
    if (castor::ParseOptions(static_cast<int>(pointers.size()), pointers.data(), options).empty() &&
        !options.target.empty()) {
        castor::ApplyTarget(options, 25);
    }
    return 0;
}
