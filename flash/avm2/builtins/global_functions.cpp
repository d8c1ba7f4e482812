// The top level's functions and values: trace, isNaN, parseInt and friends.
#include "flash/avm1/number_format.h"
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

Value trace(Vm& vm, const Value&, std::span<const Value> args) {
    std::u16string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i) line += u' ';
        line += vm.toString(args[i]).view();
    }
    vm.host().trace(String(line).toUtf8());
    return Value();
}

Value isNaNFn(Vm& vm, const Value&, std::span<const Value> args) {
    return Value(std::isnan(vm.toNumber(arg(args, 0))));
}

Value isFiniteFn(Vm& vm, const Value&, std::span<const Value> args) {
    return Value(std::isfinite(vm.toNumber(arg(args, 0))));
}

Value parseIntFn(Vm& vm, const Value&, std::span<const Value> args) {
    const std::u16string text(vm.toString(arg(args, 0)).view());
    std::size_t i = 0;
    while (i < text.size() && avm1::isNumberBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    int radix = int(toInt32(vm.toNumber(arg(args, 1))));
    if (radix == 0 || radix == 16) {
        if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
            i += 2;
            radix = 16;
        }
    }
    if (radix == 0) radix = 10;
    if (radix < 2 || radix > 36) return Value(NAN);
    double n = 0;
    std::size_t start = i;
    for (; i < text.size(); ++i) {
        int d = avm1::digitValue(text[i]);
        if (d >= radix) break;
        n = n * radix + d;
    }
    if (i == start) return Value(NAN);
    return Value(negative ? -n : n);
}

Value parseFloatFn(Vm& vm, const Value&, std::span<const Value> args) {
    // Kept: the view below must not outlive the converted string.
    const String converted = vm.toString(arg(args, 0));
    std::u16string_view s = converted.view();
    std::size_t i = 0;
    while (i < s.size() && avm1::isNumberBlank(s[i])) ++i;
    std::u16string_view rest = s.substr(i);
    bool negative = !rest.empty() && rest[0] == u'-';
    std::u16string_view unsignedRest = !rest.empty() && (rest[0] == u'-' || rest[0] == u'+') ? rest.substr(1) : rest;
    if (unsignedRest.substr(0, 8) == u"Infinity") return Value(negative ? -INFINITY : INFINITY);
    return Value(avm1::parseDecimal(rest, false));
}

}  // namespace

void installGlobalFunctions(Vm& vm) {
    vm.defineFunction(u"", u"trace", trace);
    vm.defineFunction(u"", u"isNaN", isNaNFn);
    vm.defineFunction(u"", u"isFinite", isFiniteFn);
    vm.defineFunction(u"", u"parseInt", parseIntFn);
    vm.defineFunction(u"", u"parseFloat", parseFloatFn);
    vm.defineGlobalValue(u"NaN", Value(NAN));
    vm.defineGlobalValue(u"Infinity", Value(INFINITY));
    vm.defineGlobalValue(u"undefined", Value());
}

}  // namespace kinolux::avm2
