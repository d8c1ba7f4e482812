// Instructions per second of the machine on typical script work. Each
// benchmark calls one function of a hand-built script with a loop count;
// "ops/s" counts the instructions the interpreter decoded and ran.
#include <benchmark/benchmark.h>

#include "tests/avm2/machine.h"

namespace {

using namespace avm2test;
using kinolux::avm2::Multiname;
using kinolux::avm2::String;
using kinolux::avm2::Value;

enum class Work { Arithmetic, Properties, Calls };

// function work(n) { var sum = 0; for (var i = 0; i < n; i++) <step>; return sum; }
// with locals n = 1, i = 2, sum = 3, o = 4.
std::vector<std::uint8_t> script(Work work) {
    AbcBuilder abc;
    std::uint32_t workName = abc.name("work"), fName = abc.name("f"), x = abc.name("x");
    Code c;
    c.op(op::PushByte).u8(0).op(op::SetLocal2).op(op::PushByte).u8(0).op(op::SetLocal3);
    c.op(op::PushString, abc.string("x")).op(op::PushByte).u8(0).op(op::NewObject, 1).op(op::SetLocal, 4);
    std::size_t loop = c.size();
    c.op(op::Label).op(op::GetLocal2).op(op::GetLocal1).op(op::IfNlt).s24(0);
    std::size_t exitPatch = c.size() - 3;
    switch (work) {
    case Work::Arithmetic:
        c.op(op::GetLocal3)
            .op(op::GetLocal2)
            .op(op::PushByte)
            .u8(2)
            .op(op::Multiply)
            .op(op::PushByte)
            .u8(7)
            .op(op::Modulo)
            .op(op::Add)
            .op(op::SetLocal3);
        break;
    case Work::Properties:
        c.op(op::GetLocal, 4)
            .op(op::GetLocal, 4)
            .op(op::GetProperty, x)
            .op(op::GetLocal2)
            .op(op::Add)
            .op(op::SetProperty, x);
        break;
    case Work::Calls:
        c.op(op::GetLocal3)
            .op(op::GetLocal0)
            .op(op::GetLocal2)
            .op(op::CallProperty, fName, 1)
            .op(op::Add)
            .op(op::SetLocal3);
        break;
    }
    c.op(op::IncLocalI, 2);
    c.op(op::Jump).s24(std::int32_t(loop) - std::int32_t(c.size() + 3));
    std::int32_t exit = std::int32_t(c.size() - (exitPatch + 3));
    c.bytes[exitPatch] = std::uint8_t(exit);
    c.bytes[exitPatch + 1] = std::uint8_t(exit >> 8);
    c.op(op::GetLocal3).op(op::ReturnValue);
    std::uint32_t workMethod = abc.method(1);
    abc.body(workMethod, c, 8, 6);
    std::uint32_t f = abc.method(1);
    abc.body(f, Code().op(op::GetLocal1).op(op::PushByte).u8(1).op(op::Add).op(op::ReturnValue), 4, 2);
    scriptOf(abc, Code(), {{workName, 1, 0, workMethod}, {fName, 1, 0, f}});
    return abc.bytes();
}

void run(benchmark::State& state, Work work) {
    kinolux::avm1::ScriptLimits limits;
    limits.timeLimitSeconds = 1e6;  // measure, do not stop
    Machine machine(limits);
    auto bytes = script(work);
    machine.vm.loadAbc(bytes.data(), bytes.size(), false);
    Multiname name = Multiname::publicName(String(u"work"));
    Value global(machine.vm.findGlobal(name));
    std::vector<Value> args{Value(double(state.range(0)))};
    std::uint64_t before = machine.vm.actionsRun();
    for (auto _ : state)
        machine.vm.guarded([&] { benchmark::DoNotOptimize(machine.vm.callProperty(global, name, args)); });
    if (!machine.host.errors.empty()) state.SkipWithError(machine.host.errors.front().c_str());
    state.counters["ops/s"] = benchmark::Counter(double(machine.vm.actionsRun() - before), benchmark::Counter::kIsRate);
}

void LoopArithmetic(benchmark::State& state) { run(state, Work::Arithmetic); }
void LoopPropertyAccess(benchmark::State& state) { run(state, Work::Properties); }
void LoopCalls(benchmark::State& state) { run(state, Work::Calls); }

}  // namespace

BENCHMARK(LoopArithmetic)->Arg(10000);
BENCHMARK(LoopPropertyAccess)->Arg(10000);
BENCHMARK(LoopCalls)->Arg(10000);
BENCHMARK_MAIN();
