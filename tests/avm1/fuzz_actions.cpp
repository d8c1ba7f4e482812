// Fuzz target: arbitrary bytes run as an action block on a fake player,
// with small limits so that every input ends quickly. The first byte picks
// the SWF version (4 to 10).
#include <cstddef>
#include <cstdint>

#include "tests/avm1/fake_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kinolux::avm1;
    if (size < 1) return 0;
    int version = 4 + data[0] % 7;
    ScriptLimits limits;
    limits.timeLimitSeconds = 0.05;
    limits.actionsPerSecond = 1e6;
    limits.maxCallDepth = 64;
    limits.maxStackValues = 10000;
    limits.maxStringLength = 1 << 16;
    limits.maxArrayLength = 1 << 16;
    limits.maxMemoryBytes = 16 << 20;
    test::FakeHost host(version);
    host.root.exports_.push_back(u"clip");
    Vm vm(host, version, limits);
    host.root.vm = &vm;
    vm.constructDisplayObject(host.root);
    host.root.addChild(u"child", 1);
    vm.runFrameActions(host.root, ActionBlock::copyOf({data + 1, size - 1}, version));
    host.now += 1000;
    vm.runTimers();
    vm.collectGarbage();
    return 0;
}
