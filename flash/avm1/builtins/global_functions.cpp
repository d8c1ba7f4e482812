// The global functions: parsing, escaping, tests on numbers, timers.
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/number_format.h"
#include "flash/avm1/url_encoding.h"

namespace kinolux::avm1::builtins {

namespace {

// parseInt as the player does it: "0x" and a leading "0" pick hexadecimal
// and octal even against the radix, a signed "-0x" fails, blanks may only
// follow the prefix.
Value parseInt(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value();
    std::optional<int> radix;
    if (args.size() > 1) {
        std::int32_t r = vm.toInt32(args[1]);
        if (r < 2 || r > 36) return Value(NAN);
        radix = r;
    }
    String text = vm.toString(args[0]);
    std::u16string_view s = text.view();
    bool hasSign = !s.empty() && (s[0] == u'+' || s[0] == u'-');
    std::size_t off = hasSign ? 1 : 0;
    bool zero = s.size() > off && s[off] == u'0';
    bool hex = zero && s.size() > off + 1 && (s[off + 1] == u'x' || s[off + 1] == u'X');
    bool ignoreSign = false;
    int base;
    if (hex) {
        if (hasSign) {
            if (!radix || *radix <= 33) return Value(NAN);
            base = *radix;
            ignoreSign = true;
        } else {
            base = radix.value_or(16);
            s.remove_prefix(2);
        }
    } else if (zero && !radix && [&] {
                   for (std::size_t i = 1; i < s.size(); ++i) {
                       if (s[i] < u'0' || s[i] > u'7') return false;
                   }
                   return true;
               }()) {
        base = 8;
    } else {
        base = radix.value_or(10);
    }
    while (!s.empty() && (s[0] == u'\t' || s[0] == u'\n' || s[0] == u'\r' || s[0] == u' ')) s.remove_prefix(1);
    double sign = 1;
    if (!s.empty() && (s[0] == u'+' || s[0] == u'-')) {
        if (s[0] == u'-' && !ignoreSign) sign = -1;
        s.remove_prefix(1);
    }
    bool empty = true;
    double result = 0;
    for (char16_t c : s) {
        int d = digitValue(c);
        if (d >= base) break;
        result = result * base + d;
        empty = false;
    }
    if (empty) return Value(NAN);
    return Value(std::copysign(result, sign));
}

Value parseFloat(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value();
    return Value(parseDecimal(vm.toString(args[0]).view(), false));
}

Value isNaN(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value(true);
    return Value(std::isnan(vm.toNumber(args[0])));
}

Value isFinite(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value(false);
    return Value(std::isfinite(vm.toNumber(args[0])));
}

Value escape(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value();
    return Value(escapeUrl(vm.toString(args[0])));
}

Value unescape(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value();
    return Value(unescapeUrl(vm.toString(args[0])));
}

// _global.trace, unlike the Trace action, prints undefined as "" below SWF 7.
Value traceFunction(Vm& vm, const Value&, Args args) {
    vm.trace(vm.toString(arg(args, 0)));
    return Value();
}

Value nanGetter(Vm& vm, const Value&, Args) { return vm.swfVersion() > 4 ? Value(NAN) : Value(); }
Value infinityGetter(Vm& vm, const Value&, Args) { return vm.swfVersion() > 4 ? Value(INFINITY) : Value(); }

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value startTimer(Vm& vm, Args args, bool repeat) {
    const Value& first = arg(args, 0);
    if (!first.isObject()) return Value();
    Vm::Timer timer;
    timer.function = first;
    std::size_t intervalAt = 1;
    if (first.object()->kind() != ObjectKind::Function) {
        timer.method = vm.toString(arg(args, 1));
        intervalAt = 2;
    }
    const Value& interval = arg(args, intervalAt);
    if (interval.isUndefined()) return Value();
    timer.intervalMs = vm.toInt32(interval);
    for (std::size_t i = intervalAt + 1; i < args.size(); ++i) timer.args.push_back(args[i]);
    timer.repeat = repeat;
    timer.dueMs = vm.host().timerMilliseconds() + std::max(0.0, timer.intervalMs);
    return Value(vm.addTimer(std::move(timer)));
}

Value setInterval(Vm& vm, const Value&, Args args) { return startTimer(vm, args, true); }
Value setTimeout(Vm& vm, const Value&, Args args) { return startTimer(vm, args, false); }

Value clearTimer(Vm& vm, const Value&, Args args) {
    vm.removeTimer(static_cast<std::uint32_t>(vm.toInt32(arg(args, 0))));
    return Value();
}


// The global functions can be deleted, unlike the built-ins' own methods.
constexpr std::uint16_t kGlobal = PropertyFlag::DontEnum;

constexpr Member kGlobalMembers[] = {
    accessor(u"NaN", nanGetter, nullptr, kGlobal),
    accessor(u"Infinity", infinityGetter, nullptr, kGlobal),
    method(u"escape", escape, kGlobal),
    method(u"unescape", unescape, kGlobal),
    method(u"parseInt", parseInt, kGlobal),
    method(u"parseFloat", parseFloat, kGlobal),
    method(u"trace", traceFunction, kGlobal),
    method(u"isNaN", isNaN, kGlobal),
    method(u"isFinite", isFinite, kGlobal),
    method(u"updateAfterEvent", nothing, kGlobal),
    method(u"setInterval", setInterval, kGlobal),
    method(u"setTimeout", setTimeout, kGlobal),
};

}  // namespace

void installGlobalFunctions(Vm& vm) {
    Object& global = *vm.global();
    defineMembers(vm, global, kGlobalMembers);
    // The player's _global carries a stray `o` that is null.
    global.defineValue(u"o", Value::null(), kGlobal);
    Ref<FunctionObject> clear = vm.newNative(clearTimer);
    global.defineValue(u"clearInterval", Value(ObjectRef(clear)), kGlobal);
    global.defineValue(u"clearTimeout", Value(ObjectRef(clear)), kGlobal);
}

}  // namespace kinolux::avm1::builtins
