// Runaway and hostile scripts end with a clear message, in bounded time and
// memory, and the machine keeps working (or, after a runaway, refuses
// further scripts as the Flash player does).
#include <gtest/gtest.h>

#include "flash/avm1/array_object.h"
#include "tests/avm1/assembler.h"
#include "tests/avm1/fake_host.h"

namespace kinolux::avm1::test {
namespace {

ScriptLimits small() {
    ScriptLimits limits;
    // A budget of 10000 actions; the wall-clock backstop (twice the time
    // limit) stays far off so that the tests do not depend on the load.
    limits.timeLimitSeconds = 5;
    limits.actionsPerSecond = 2000;
    limits.maxStackValues = 1000;
    limits.maxStringLength = 100000;
    limits.maxArrayLength = 100000;
    limits.maxMemoryBytes = 4 << 20;
    return limits;
}

bool mentions(const std::vector<std::string>& errors, const std::string& part) {
    for (const std::string& e : errors) {
        if (e.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST(Limits, AnEndlessLoopStopsAfterTheActionBudgetAndScriptsStayOff) {
    Machine m(7, small());
    EXPECT_EQ(m.run(R"asm(
        push "before"
        trace
      forever:
        jump forever
    )asm"), "before");
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("run slowly"), std::string::npos);
    EXPECT_TRUE(m.vm.scriptsStopped());
    EXPECT_EQ(m.run("push \"after\"\ntrace"), "");
}

TEST(Limits, TheBudgetCountsActionsSoTheStopIsRepeatable) {
    auto tracedBeforeStop = [] {
        Machine m(7, small());
        return m.run(R"asm(
            push "i", 0
            setVariable
          loop:
            push "i"
            push "i"
            getVariable
            increment
            store 0
            setVariable
            push r:0
            trace
            jump loop
        )asm");
    };
    std::string first = tracedBeforeStop();
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, tracedBeforeStop());
}

TEST(Limits, DeepRecursionStopsAtTheCallDepthWithThePlayersMessage) {
    ScriptLimits limits;
    limits.maxCallDepth = 64;
    Machine m(7, limits);
    std::string out = m.run(R"asm(
        function down() {
          push 0, "down"
          callFunction
          return
        }
        push 0, "down"
        callFunction
        push "unreached"
        trace
    )asm");
    EXPECT_EQ(out, "64 levels of recursion were exceeded in one action list. This is probably an infinite "
                   "loop. Further execution of actions has been disabled in this movie.");
    EXPECT_TRUE(m.vm.scriptsStopped());
}

TEST(Limits, RecursionThroughGettersIsCutWithoutStoppingTheScript) {
    Machine m(7);
    // A getter that reads its own property: the player skips the nested
    // calls past its depth for such calls and the script goes on.
    EXPECT_EQ(m.run(R"asm(
        push "o", 0
        push "Object"
        newObject
        setVariable
        function get() {
          push "o"
          getVariable
          push "p"
          getMember
          return
        }
        push null
        push "get"
        getVariable
        push "p", 3, "o"
        getVariable
        push "addProperty"
        callMethod
        pop
        push "o"
        getVariable
        push "p"
        getMember
        trace
        push "still running"
        trace
    )asm"), "undefined\nstill running");
    EXPECT_FALSE(m.vm.scriptsStopped());
}

TEST(Limits, GrowingAStringPastTheLimitStops) {
    Machine m(7, small());
    m.run(R"asm(
        push "s", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
        setVariable
      loop:
        push "s"
        push "s"
        getVariable
        push "s"
        getVariable
        add2
        setVariable
        jump loop
    )asm");
    EXPECT_TRUE(mentions(m.host.errors, "string longer"));
}

TEST(Limits, HugeArraysAndObjectsStop) {
    Machine m(7, small());
    m.run(R"asm(
        push 99999999
        initArray
        pop
    )asm");
    EXPECT_TRUE(mentions(m.host.errors, "array larger"));

    Machine filling(7, small());
    filling.run(R"asm(
        push "o", 0
        push "Object"
        newObject
        setVariable
        push "i", 0
        setVariable
      loop:
        push "o"
        getVariable
        push "i"
        getVariable
        push 1
        setMember
        push "i"
        push "i"
        getVariable
        increment
        setVariable
        jump loop
    )asm");
    ASSERT_FALSE(filling.host.errors.empty());
}

TEST(Limits, AnArrayLiteralPastTheMemoryBudgetStopsBeforeItIsBuilt) {
    // Ten million elements are within the array limit and the action budget
    // but far past the memory budget: the script must stop at once, not
    // after gigabytes of elements have been made.
    Machine m(7);
    m.run(R"asm(
        push 10000000
        initArray
        pop
    )asm");
    EXPECT_TRUE(mentions(m.host.errors, "more memory"));
    EXPECT_LT(m.vm.heap().slotCount(), std::size_t(100000));
}

TEST(Limits, AnOverfullStackStops) {
    Machine m(7, small());
    m.run(R"asm(
      loop:
        push 1, 2, 3, 4
        jump loop
    )asm");
    EXPECT_TRUE(mentions(m.host.errors, "stack"));
}

TEST(Limits, ArraySortChargesItsWork) {
    ScriptLimits limits = small();
    limits.actionsPerSecond = 2e5;  // a million actions: room to fill the array, not to sort it
    limits.maxMemoryBytes = 64 << 20;
    Machine m(7, limits);
    // Sorting an already sorted array is quadratic in the player's
    // quicksort: 3000 elements take millions of comparisons. (One string
    // among the numbers keeps the machine on the player's algorithm.)
    m.run(R"asm(
        push "a", 0
        push "Array"
        newObject
        setVariable
        push "i", 0
        setVariable
      fill:
        push "i"
        getVariable
        push 3000
        less2
        not
        if sort
        push "i"
        getVariable
        push 1, "a"
        getVariable
        push "push"
        callMethod
        pop
        push "i"
        push "i"
        getVariable
        increment
        setVariable
        jump fill
      sort:
        push "x", 1, "a"
        getVariable
        push "push"
        callMethod
        pop
        push 16, 1, "a"
        getVariable
        push "sort"
        callMethod
        pop
    )asm");
    EXPECT_TRUE(mentions(m.host.errors, "run slowly"));
}

TEST(Limits, SortingPlainNumbersOrStringsIsNotQuadratic) {
    ScriptLimits limits = small();
    limits.actionsPerSecond = 4e5;  // a budget of two million actions
    limits.maxMemoryBytes = 64 << 20;
    Machine m(7, limits);
    EXPECT_EQ(m.run(R"asm(
        push "a", 0
        push "Array"
        newObject
        setVariable
        push "i", 20000
        setVariable
      fill:
        push "i"
        getVariable
        push 1, "a"
        getVariable
        push "push"
        callMethod
        pop
        push "i"
        push "i"
        getVariable
        decrement
        store 0
        setVariable
        push r:0
        if fill
        push 16, 1, "a"
        getVariable
        push "sort"
        callMethod
        pop
        push 2, 0, 2
        push "a"
        getVariable
        push "slice"
        callMethod
        trace
        push 18, 1, "a"
        getVariable
        push "sort"
        callMethod
        push 0
        getMember
        trace
    )asm"), "1,2\n20000");
    EXPECT_TRUE(m.host.errors.empty());
}

TEST(HostileBytecode, DamagedStreamsEndTheBlockWithAMessage) {
    const std::vector<std::vector<std::uint8_t>> damaged = {
        {0x96, 0x10, 0x00, 0x00, 'a'},            // Push longer than the block
        {0x96, 0x02, 0x00, 0x06, 0x01},            // a double cut short
        {0x96, 0x01, 0x00, 0x0B},                  // unknown push type
        {0x99, 0x02, 0x00, 0x00, 0x80},            // jump far before the start
        {0x99, 0x02, 0x00, 0xFF, 0x7F},            // jump far past the end
        {0x9B, 0x05, 0x00, 'f', 0x00, 0xFF, 0xFF, 0x00},       // function header cut short
        {0x8E, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // one too
        {0x8F, 0x03, 0x00, 0x07, 0x00, 0x00},      // try header cut short
        {0x94, 0x02, 0x00, 0xFF, 0xFF},            // with body past the end
        {0x88, 0x05, 0x00, 0xFF, 0xFF, 'a', 'b', 0x00},      // pool claiming 65535 strings
    };
    for (const auto& bytes : damaged) {
        FakeHost host(7);
        Vm vm(host, 7, small());
        vm.constructDisplayObject(host.root);
        vm.runFrameActions(host.root, ActionBlock::copyOf(bytes, 7));
        vm.runFrameActions(host.root, ActionBlock::copyOf(assemble("push \"alive\"\ntrace"), 7));
        EXPECT_EQ(host.traces.back(), "alive");
    }
}

TEST(HostileBytecode, DeeplyNestedBlocksAreRefused) {
    std::string source;
    for (int i = 0; i < 200; ++i) source += "push \"o\"\ngetVariable\nwith {\n";
    source += "push 1\ntrace\n";
    for (int i = 0; i < 200; ++i) source += "}\n";
    Machine m(7);
    m.run("push \"o\", 0\ninitObject\nsetVariable");
    m.run(source);
    EXPECT_TRUE(mentions(m.host.errors, "nests"));
    EXPECT_EQ(m.run("push \"alive\"\ntrace"), "alive");
}

TEST(Memory, CyclesAreCollected) {
    Machine m(7);
    std::size_t before = m.vm.heap().cellCount();
    // Objects that point at each other, then dropped.
    for (int round = 0; round < 50; ++round) {
        m.run(R"asm(
            push "a", 0
            push "Object"
            newObject
            setVariable
            push "b", 0
            push "Object"
            newObject
            setVariable
            push "a"
            getVariable
            push "peer"
            push "b"
            getVariable
            setMember
            push "b"
            getVariable
            push "peer"
            push "a"
            getVariable
            setMember
            function f() {
            }
            push "a", null
            setVariable
            push "b", null
            setVariable
        )asm");
    }
    m.vm.collectGarbage();
    EXPECT_LT(m.vm.heap().cellCount(), before + 20);
}

TEST(Memory, TheMachineCanGoBeforeTheDisplayObjects) {
    FakeHost host(7);
    {
        Vm vm(host, 7);
        vm.constructDisplayObject(host.root);
        host.root.addChild(u"kept", 1);
        vm.runFrameActions(host.root, ActionBlock::copyOf(assemble(R"asm(
            push "kept"
            getVariable
            push "self"
            push "kept"
            getVariable
            setMember
        )asm"), 7));
    }
    // The clips (and the script objects they hold) outlive the machine.
    EXPECT_NE(host.root.scriptObject(), nullptr);
}

}  // namespace
}  // namespace kinolux::avm1::test
