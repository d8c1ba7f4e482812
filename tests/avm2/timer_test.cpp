// Timer and setTimeout on the host's clock.
#include "tests/avm2/builtins_fixture.h"

using namespace avm2test;

namespace {

class Timers : public Builtins {
protected:
    // A function that logs, as a trace line, the text it is given or the
    // type of the event it hears.
    Value logger() {
        return Value(static_cast<kinolux::avm2::Object*>(vm().newNativeFunction(
            [](kinolux::avm2::Vm& vm, const Value&, std::span<const Value> args) {
                Value v = args[0].isString() ? args[0] : vm.getPublic(args[0], u"type");
                vm.host().trace(vm.toString(v).toUtf8());
                return Value();
            },
            String(u"logger"))));
    }
    Value utilsFunction(const char16_t* name) {
        Multiname m;
        m.namespaces.push_back({kinolux::avm2::NamespaceKind::Package, String(u"flash.utils"), 0});
        m.name = String(name);
        return vm().getProperty(Value(vm().findGlobal(m)), m);
    }
    void advanceTo(double ms) {
        machine.host.time = ms;
        vm().runTimers();
    }
};

}  // namespace

TEST_F(Timers, ARepeatingTimerFiresEachPeriodThenCompletes) {
    Value timer = make(u"flash.utils.Timer", {Value(100), Value(2)});
    for (const char16_t* type : {u"timer", u"timerComplete"})
        call(timer, u"addEventListener", {Value(String(type)), logger()});
    call(timer, u"start");
    advanceTo(50);
    EXPECT_TRUE(machine.host.traces.empty());
    advanceTo(250);
    EXPECT_EQ(machine.host.traces, (std::vector<std::string>{"timer", "timer", "timerComplete"}));
    EXPECT_EQ(text(vm().getPublic(timer, u"currentCount")), "2");
    EXPECT_EQ(text(vm().getPublic(timer, u"running")), "false");
    advanceTo(1000);
    EXPECT_EQ(machine.host.traces.size(), 3u);
    EXPECT_NE(thrown([&] { make(u"flash.utils.Timer", {Value(-1)}); }).find("RangeError: Error #2066"),
              std::string::npos);
}

TEST_F(Timers, TimeoutsFireOnceIntervalsUntilCleared) {
    std::vector<Value> once{logger(), Value(30), Value(String(u"once"))};
    vm().call(utilsFunction(u"setTimeout"), Value(), once);
    std::vector<Value> every{logger(), Value(20), Value(String(u"every"))};
    Value id = vm().call(utilsFunction(u"setInterval"), Value(), every);
    advanceTo(25);
    advanceTo(45);
    std::vector<Value> clear{id};
    vm().call(utilsFunction(u"clearInterval"), Value(), clear);
    advanceTo(100);
    EXPECT_EQ(machine.host.traces, (std::vector<std::string>{"every", "once", "every"}));
}
