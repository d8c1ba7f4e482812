// kinoluxbatch's command line from arbitrary bytes: the arguments are the
// input split at its zero bytes.
#include "tools/kinoluxbatch/batch_options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words{"kinoluxbatch"};
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    kinolux::batch::BatchOptions options;
    kinolux::batch::ParseBatchOptions(static_cast<int>(argv.size()), argv.data(), options);
    return 0;
}
