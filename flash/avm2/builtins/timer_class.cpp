// flash.utils.Timer, TimerEvent and setTimeout/setInterval. They run on the
// player's clock: the player calls runTimers as each frame begins, and
// whatever has come due since fires then.
#include <cmath>
#include <map>

#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

// A Timer object's own state.
struct TimerState {
    double delay = 0;
    int repeatCount = 0;
    int currentCount = 0;
    bool running = false;
    double due = 0;
};

// A function setTimeout or setInterval will call.
struct ScheduledCall {
    Value function;
    std::vector<Value> args;
    double delay = 0;
    double due = 0;
    bool repeat = false;
};

struct TimerTable {
    std::map<Object*, TimerState> timers;
    std::map<std::uint32_t, ScheduledCall> calls;
    std::uint32_t nextId = 1;
};

// A timer due many periods ago fires at most this often in one frame.
constexpr int kMaxFiringsPerFrame = 16;

TimerTable& table(Vm& vm) {
    if (!vm.timerState()) vm.timerState() = std::make_shared<TimerTable>();
    return *static_cast<TimerTable*>(vm.timerState().get());
}

TimerState& stateOf(Vm& vm, const Value& self) {
    Object* o = self.object();
    if (!o) throwNullObject(vm);
    return table(vm).timers[o];
}

double checkedDelay(Vm& vm, const Value& v) {
    double d = vm.toNumber(v);
    if (!(d >= 0) || !std::isfinite(d))
        vm.throwError(ErrorType::RangeError, "Error #2066: The Timer delay specified is out of range.", 2066);
    return d;
}

Value timerInit(Vm& vm, const Value& self, std::span<const Value> args) {
    TimerState& t = stateOf(vm, self);
    t.delay = checkedDelay(vm, arg(args, 0));
    t.repeatCount = args.size() > 1 ? toInt32(vm.toNumber(args[1])) : 0;
    return Value();
}

Value getDelay(Vm& vm, const Value& self, std::span<const Value>) { return Value(stateOf(vm, self).delay); }
Value setDelay(Vm& vm, const Value& self, std::span<const Value> args) {
    TimerState& t = stateOf(vm, self);
    t.delay = checkedDelay(vm, arg(args, 0));
    if (t.running) t.due = vm.host().timerMilliseconds() + t.delay;
    return Value();
}
Value getRepeatCount(Vm& vm, const Value& self, std::span<const Value>) { return Value(stateOf(vm, self).repeatCount); }
Value setRepeatCount(Vm& vm, const Value& self, std::span<const Value> args) {
    TimerState& t = stateOf(vm, self);
    t.repeatCount = toInt32(vm.toNumber(arg(args, 0)));
    if (t.repeatCount > 0 && t.currentCount >= t.repeatCount) t.running = false;
    return Value();
}
Value getCurrentCount(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(stateOf(vm, self).currentCount);
}
Value getRunning(Vm& vm, const Value& self, std::span<const Value>) { return Value(stateOf(vm, self).running); }

Value start(Vm& vm, const Value& self, std::span<const Value>) {
    TimerState& t = stateOf(vm, self);
    if (!t.running) {
        t.running = true;
        t.due = vm.host().timerMilliseconds() + t.delay;
    }
    return Value();
}
Value stop(Vm& vm, const Value& self, std::span<const Value>) {
    stateOf(vm, self).running = false;
    return Value();
}
Value reset(Vm& vm, const Value& self, std::span<const Value>) {
    TimerState& t = stateOf(vm, self);
    t.running = false;
    t.currentCount = 0;
    return Value();
}

void dispatchTimerEvent(Vm& vm, Object* timer, const char16_t* type) {
    Value args[] = {Value(String(type))};
    Value event(vm.construct(vm.findClass(u"flash.events.TimerEvent"), args));
    Value dispatchArgs[] = {event};
    vm.callProperty(Value(timer), Multiname::publicName(String(u"dispatchEvent")), dispatchArgs);
}

std::uint32_t schedule(Vm& vm, std::span<const Value> args, bool repeat) {
    Value fn = arg(args, 0);
    if (!fn.object() || fn.object()->kind != ObjectKind::Function)
        vm.throwError(ErrorType::TypeError, "Error #1034: Type Coercion failed: the closure is not a Function.", 1034);
    ScheduledCall call;
    call.function = fn;
    call.delay = std::max(0.0, vm.toNumber(arg(args, 1)));
    if (!std::isfinite(call.delay)) call.delay = 0;
    call.due = vm.host().timerMilliseconds() + call.delay;
    call.repeat = repeat;
    if (args.size() > 2) call.args.assign(args.begin() + 2, args.end());
    vm.charge(sizeof(ScheduledCall) + call.args.size() * sizeof(Value));
    TimerTable& t = table(vm);
    std::uint32_t id = t.nextId++;
    t.calls.emplace(id, std::move(call));
    return id;
}

Value setTimeout(Vm& vm, const Value&, std::span<const Value> args) { return Value(schedule(vm, args, false)); }
Value setInterval(Vm& vm, const Value&, std::span<const Value> args) { return Value(schedule(vm, args, true)); }
Value clearScheduled(Vm& vm, const Value&, std::span<const Value> args) {
    table(vm).calls.erase(toUint32(vm.toNumber(arg(args, 0))));
    return Value();
}

}  // namespace

void Vm::runTimers() {
    if (!timerState_ || disabled_) return;
    const double now = host_.timerMilliseconds();
    TimerTable& t = table(*this);
    std::vector<Object*> timers;
    for (auto& [object, state] : t.timers)
        if (state.running && state.due <= now) timers.push_back(object);
    for (Object* timer : timers) {
        for (int n = 0; n < kMaxFiringsPerFrame; ++n) {
            TimerState& s = t.timers[timer];
            if (!s.running || s.due > now) break;
            ++s.currentCount;
            s.due += std::max(s.delay, 1.0);
            bool complete = s.repeatCount > 0 && s.currentCount >= s.repeatCount;
            if (complete) s.running = false;
            guarded([&] { dispatchTimerEvent(*this, timer, u"timer"); });
            if (complete) guarded([&] { dispatchTimerEvent(*this, timer, u"timerComplete"); });
        }
        TimerState& s = t.timers[timer];
        if (s.running && s.due <= now) s.due = now + s.delay;
    }
    std::vector<std::uint32_t> ids;
    for (auto& [id, call] : t.calls)
        if (call.due <= now) ids.push_back(id);
    for (std::uint32_t id : ids) {
        auto it = t.calls.find(id);
        if (it == t.calls.end()) continue;
        ScheduledCall due = it->second;
        if (due.repeat) it->second.due = std::max(due.due + std::max(due.delay, 1.0), now);
        else t.calls.erase(it);
        guarded([&] { call(due.function, Value::null(), due.args); });
    }
}

void installTimerClasses(Vm& vm) {
    Class* timer = vm.defineClass(u"flash.utils", u"Timer", vm.findClass(u"flash.events.EventDispatcher"), nullptr);
    vm.defineConstructor(timer, timerInit);
    vm.defineGetter(timer, u"delay", getDelay, setDelay);
    vm.defineGetter(timer, u"repeatCount", getRepeatCount, setRepeatCount);
    vm.defineGetter(timer, u"currentCount", getCurrentCount);
    vm.defineGetter(timer, u"running", getRunning);
    vm.defineTraitMethod(timer, u"start", start);
    vm.defineTraitMethod(timer, u"stop", stop);
    vm.defineTraitMethod(timer, u"reset", reset);
    Class* event = vm.findClass(u"flash.events.Event");
    Class* timerEvent = vm.defineClass(u"flash.events", u"TimerEvent", event, nullptr);
    timerEvent->init = event->init;
    vm.defineConstant(timerEvent, u"TIMER", Value(String(u"timer")));
    vm.defineConstant(timerEvent, u"TIMER_COMPLETE", Value(String(u"timerComplete")));
    vm.defineTraitMethod(timerEvent, u"updateAfterEvent", nothing);
    vm.defineFunction(u"flash.utils", u"setTimeout", setTimeout);
    vm.defineFunction(u"flash.utils", u"setInterval", setInterval);
    vm.defineFunction(u"flash.utils", u"clearTimeout", clearScheduled);
    vm.defineFunction(u"flash.utils", u"clearInterval", clearScheduled);
}

}  // namespace kinolux::avm2
