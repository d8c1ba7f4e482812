// A machine with a host that keeps what scripts trace and the errors it
// reports, and helpers to run hand-built ABC on it.
#pragma once

#include <string>
#include <vector>

#include "flash/avm2/opcodes.h"
#include "flash/avm2/vm.h"
#include "tests/avm2/abc_builder.h"

namespace avm2test {

namespace op = kinolux::avm2::op;

class RecordingHost : public kinolux::avm2::Host {
public:
    void trace(std::string_view line) override { traces.emplace_back(line); }
    void scriptError(std::string_view message) override { errors.emplace_back(message); }
    double timerMilliseconds() override { return time; }
    double wallClockMilliseconds() override { return date; }
    double localTimeOffsetMinutes(double) override { return zoneMinutes; }

    std::vector<std::string> traces;
    std::vector<std::string> errors;
    double time = 0;
    double date = 0;
    double zoneMinutes = 0;
};

// Tight limits for the fuzz targets: a hang or a runaway allocation there
// is a finding, not a slow run.
inline kinolux::avm1::ScriptLimits fuzzLimits() {
    kinolux::avm1::ScriptLimits limits;
    limits.timeLimitSeconds = 1;
    limits.actionsPerSecond = 100000;
    limits.maxMemoryBytes = 16 << 20;
    limits.maxCallDepth = 64;
    return limits;
}

struct Machine {
    explicit Machine(kinolux::avm1::ScriptLimits limits = {}) : vm(host, limits) {}
    // Loads the file and runs its last script.
    bool run(const AbcBuilder& abc) {
        auto bytes = abc.bytes();
        return vm.loadAbc(bytes.data(), bytes.size(), false);
    }
    RecordingHost host;
    kinolux::avm2::Vm vm;
};

// Code that traces what `push` leaves on the stack: findpropstrict trace,
// the value, callpropvoid trace 1.
template <class Push>
Code& traced(Code& code, AbcBuilder& abc, Push push) {
    code.op(op::FindPropStrict, abc.name("trace"));
    push(code);
    return code.op(op::CallPropVoid, abc.name("trace"), 1);
}

// A script whose initialiser is `code` (getlocal0; pushscope first, then
// returnvoid after).
inline void scriptOf(AbcBuilder& abc, const Code& body, std::vector<Trait> traits = {}) {
    Code code;
    code.op(op::GetLocal0).op(op::PushScope);
    code.append(body);
    code.op(op::ReturnVoid);
    std::uint32_t init = abc.method();
    abc.body(init, code);
    abc.script(init, std::move(traits));
}

}  // namespace avm2test
