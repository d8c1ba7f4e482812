// Feeds arbitrary bytes to the ABC reader and, when they read, runs the
// last script on a machine with tight limits: neither may crash or hang.
#include <cstddef>
#include <cstdint>

#include "tests/avm2/machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    avm2test::Machine machine(avm2test::fuzzLimits());
    machine.vm.loadAbc(data, size, false);
    return 0;
}
