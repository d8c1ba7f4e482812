// Actions per second of the machine on typical script work. Each benchmark
// runs one frame script on a fake player; "actions/s" counts the actions
// the interpreter decoded and ran.
#include <benchmark/benchmark.h>

#include "tests/avm1/assembler.h"
#include "tests/avm1/fake_host.h"

namespace {

using namespace kinolux::avm1;

// Runs `source` as a frame script `state.iterations()` times and reports
// actions per second.
void runScript(benchmark::State& state, const std::string& source) {
    ScriptLimits limits;
    limits.timeLimitSeconds = 1e6;  // measure, do not stop
    limits.maxMemoryBytes = std::size_t(2) << 30;
    test::Machine m(8, limits);
    ActionBlock code = ActionBlock::copyOf(test::assemble(source), 8);
    std::uint64_t before = m.vm.actionsRun();
    for (auto _ : state) m.vm.runFrameActions(m.host.root, code);
    if (!m.host.errors.empty()) state.SkipWithError(m.host.errors.front().c_str());
    state.counters["actions/s"] =
        benchmark::Counter(static_cast<double>(m.vm.actionsRun() - before), benchmark::Counter::kIsRate);
}

// for (counter = 0; counter < n; counter++) { body }, where `counter` is a
// pushable name ("c:2" for a constant); the loop ends at the label `done`.
std::string countedLoop(const std::string& counter, std::int64_t n, const std::string& body) {
    return "push " + counter + ", 0\nsetVariable\nloop:\npush " + counter + "\ngetVariable\npush " +
           std::to_string(n) + "\nless2\nnot\nif done\n" + body + "push " + counter + "\npush " + counter +
           "\ngetVariable\nincrement\nsetVariable\njump loop\ndone:\n";
}

// for (var i = 0; i < n; i++) { o.x = o.x + i * 2; sum += o.x % 7; }
void LoopArithmeticAndProperties(benchmark::State& state) {
    runScript(state, R"asm(
        constants "o", "x", "i", "sum", "Object"
        push c:0, 0, c:4
        newObject
        setVariable
        push c:0
        getVariable
        push c:1, 0
        setMember
        push c:3, 0
        setVariable
    )asm" + countedLoop("c:2", state.range(0), R"asm(
        push c:0
        getVariable
        push c:1
        push c:0
        getVariable
        push c:1
        getMember
        push c:2
        getVariable
        push 2
        multiply
        add2
        setMember
        push c:3
        push c:3
        getVariable
        push c:0
        getVariable
        push c:1
        getMember
        push 7
        modulo
        add2
        setVariable
    )asm"));
}
BENCHMARK(LoopArithmeticAndProperties)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

// s = ""; for (i = 0; i < n; i++) s += "ab" + i;  (a growing string)
void StringBuilding(benchmark::State& state) {
    runScript(state, R"asm(
        constants "s", "i"
        push c:0, ""
        setVariable
    )asm" + countedLoop("c:1", state.range(0), R"asm(
        push c:0
        push c:0
        getVariable
        push "ab"
        push c:1
        getVariable
        add2
        add2
        setVariable
    )asm"));
}
BENCHMARK(StringBuilding)->Arg(20000)->Unit(benchmark::kMillisecond);

// a = [random numbers]; a.sort(comparator); then a.sort(Array.NUMERIC | Array.DESCENDING)
// (sorting input that is already in order is quadratic in the player's
// quicksort, so the comparator runs on random data)
void ArraySort(benchmark::State& state) {
    runScript(state, R"asm(
        constants "a", "i", "push", "sort"
        push c:0, 0
        initArray
        setVariable
    )asm" + countedLoop("c:1", state.range(0), R"asm(
        push 1000000
        randomNumber
        push 1, c:0
        getVariable
        push c:2
        callMethod
        pop
    )asm") + R"asm(
        function (x, y) {
          push "y"
          getVariable
          push "x"
          getVariable
          subtract
          return
        }
        push 1, c:0
        getVariable
        push c:3
        callMethod
        pop
        push 18, 1, c:0
        getVariable
        push c:3
        callMethod
        pop
    )asm");
}
BENCHMARK(ArraySort)->Arg(20000)->Unit(benchmark::kMillisecond);

// function add(a, b) { return a + b; }  for (i = 0; i < n; i++) total = add(total, i);
// Calls dominate handler-heavy movies (onEnterFrame on many clips).
void FunctionCalls(benchmark::State& state) {
    runScript(state, R"asm(
        constants "add", "total", "i"
        function add(a, b) {
          push "a"
          getVariable
          push "b"
          getVariable
          add2
          return
        }
        push c:1, 0
        setVariable
    )asm" + countedLoop("c:2", state.range(0), R"asm(
        push c:1
        push c:2
        getVariable
        push c:1
        getVariable
        push 2, c:0
        callFunction
        setVariable
    )asm"));
}
BENCHMARK(FunctionCalls)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
