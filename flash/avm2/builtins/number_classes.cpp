// Number, int, uint and Math.
#include <cfloat>
#include <cstdio>
#include <random>

#include "flash/avm1/number_format.h"
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

double thisNumber(Vm& vm, const Value& self, const char* method) {
    if (self.isNumber()) return self.number();
    // The prototype stands for the class's default value.
    if (self.object() && self.object() == vm.builtins().number->prototype) return 0;
    vm.throwError(
        ErrorType::TypeError,
        std::string("Error #1004: Method Number.prototype.") + method + " was invoked on an incompatible object.",
        1004);
}

Value numberToStringMethod(Vm& vm, const Value& self, std::span<const Value> args) {
    double d = thisNumber(vm, self, "toString");
    Value r = arg(args, 0);
    int radix = r.isUndefined() ? 10 : toInt32(vm.toNumber(r));
    if (radix < 2 || radix > 36)
        vm.throwError(ErrorType::RangeError,
                      "Error #1003: The radix argument must be between 2 and 36; got " + std::to_string(radix) + ".",
                      1003);
    if (radix == 10 || !std::isfinite(d)) return Value(numberToString(d));
    bool negative = d < 0;
    double n = std::trunc(std::fabs(d));
    std::string digits;
    do {
        int digit = int(std::fmod(n, radix));
        digits.insert(digits.begin(), char(digit < 10 ? '0' + digit : 'a' + digit - 10));
        n = std::floor(n / radix);
    } while (n >= 1);
    if (negative) digits.insert(digits.begin(), '-');
    return Value(String::fromAscii(digits));
}

// The digit count that toFixed, toPrecision and toExponential take.
int digitsArgument(Vm& vm, std::span<const Value> args, const char* method, int min, int max) {
    int digits = toInt32(vm.toNumber(arg(args, 0)));
    if (digits < min || digits > max)
        vm.throwError(ErrorType::RangeError,
                      "Error #1002: Number." + std::string(method) + " has a range of " + std::to_string(min) + " to " +
                          std::to_string(max) + ". " + std::to_string(digits) + " is an invalid value.",
                      1002);
    return digits;
}

Value toFixed(Vm& vm, const Value& self, std::span<const Value> args) {
    double d = thisNumber(vm, self, "toFixed");
    int digits = digitsArgument(vm, args, "toFixed", 0, 20);
    if (!std::isfinite(d) || std::fabs(d) >= 1e21) return Value(numberToString(d));
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", digits, d);
    std::string s = buf;
    if (s == "-0" || (s.rfind("-0.", 0) == 0 && s.find_first_not_of("-0.") == std::string::npos)) s.erase(0, 1);
    return Value(String::fromAscii(s));
}

Value toPrecision(Vm& vm, const Value& self, std::span<const Value> args) {
    double d = thisNumber(vm, self, "toPrecision");
    if (arg(args, 0).isUndefined() || !std::isfinite(d)) return Value(numberToString(d));
    int p = digitsArgument(vm, args, "toPrecision", 1, 21);
    if (d == 0) {
        std::string s = "0";
        if (p > 1) s += "." + std::string(std::size_t(p - 1), '0');
        return Value(String::fromAscii(s));
    }
    int e = int(std::floor(std::log10(std::fabs(d))));
    char buf[400];
    // Small numbers keep the fixed form, however many zeros lead.
    if (e >= p) {
        std::snprintf(buf, sizeof buf, "%.*e", p - 1, d);
        std::string s = buf;
        std::size_t at = s.find('e');
        int exp = std::stoi(s.substr(at + 1));
        s = s.substr(0, at) + "e" + (exp >= 0 ? "+" : "-") + std::to_string(std::abs(exp));
        return Value(String::fromAscii(s));
    }
    std::snprintf(buf, sizeof buf, "%.*f", std::max(0, p - 1 - e), d);
    return Value(String::fromAscii(buf));
}

Value toExponential(Vm& vm, const Value& self, std::span<const Value> args) {
    double d = thisNumber(vm, self, "toExponential");
    if (!std::isfinite(d)) return Value(numberToString(d));
    int digits = digitsArgument(vm, args, "toExponential", 0, 20);
    // The player cuts the exact decimal expansion off instead of rounding it.
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.60e", d);
    std::string s = buf;
    std::size_t at = s.find('e');
    int exp = std::stoi(s.substr(at + 1));
    std::size_t point = s.find('.');
    std::string mantissa = s.substr(0, digits ? point + 1 + std::size_t(digits) : point);
    // Zero comes out with the exponent the player's digit loop ends on.
    if (d == 0) exp = -16;
    s = mantissa + "e" + (exp >= 0 ? "+" : "-") + std::to_string(std::abs(exp));
    return Value(String::fromAscii(s));
}

Value numberValueOf(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(thisNumber(vm, self, "valueOf"));
}

// Number, int and uint: each converts when called or constructed, shares
// Number's methods and names its own range.
Class* defineNumericClass(Vm& vm, std::u16string_view name, NativeFunction convert, double max, double min) {
    Class* c = vm.defineClass(u"", name, vm.findClass(u"Object"), nullptr);
    c->callAsFunction = convert;
    c->construct = convert;
    vm.defineMethod(c, u"toString", numberToStringMethod, false, 1);
    vm.defineMethod(c, u"toLocaleString", numberToStringMethod, false, 1);
    vm.defineMethod(c, u"toFixed", toFixed, false, 1);
    vm.defineMethod(c, u"toPrecision", toPrecision, false, 1);
    vm.defineMethod(c, u"toExponential", toExponential, false, 1);
    vm.defineMethod(c, u"valueOf", numberValueOf);
    c->sealed = true;
    vm.defineConstant(c, u"MAX_VALUE", Value(max));
    vm.defineConstant(c, u"MIN_VALUE", Value(min));
    return c;
}

void requireMathArguments(Vm& vm, std::span<const Value> args, std::size_t expected) {
    if (args.size() < expected)
        vm.throwError(ErrorType::ArgumentError,
                      "Error #1063: Argument count mismatch on Math. Expected " + std::to_string(expected) + ", got " +
                          std::to_string(args.size()) + ".",
                      1063);
}

using MathFn = double (*)(double);
template <MathFn F>
Value math1(Vm& vm, const Value&, std::span<const Value> args) {
    requireMathArguments(vm, args, 1);
    return Value(F(vm.toNumber(args[0])));
}

double roundHalfUp(double d) { return std::floor(d + 0.5); }

Value mathMax(Vm& vm, const Value&, std::span<const Value> args) {
    double r = -INFINITY;
    for (const Value& v : args) {
        double d = vm.toNumber(v);
        if (std::isnan(d)) return Value(NAN);
        if (d > r || (d == 0 && r == 0 && !std::signbit(d))) r = d;
    }
    return Value(r);
}

Value mathMin(Vm& vm, const Value&, std::span<const Value> args) {
    double r = INFINITY;
    for (const Value& v : args) {
        double d = vm.toNumber(v);
        if (std::isnan(d)) return Value(NAN);
        if (d < r || (d == 0 && r == 0 && std::signbit(d))) r = d;
    }
    return Value(r);
}

Value mathPow(Vm& vm, const Value&, std::span<const Value> args) {
    requireMathArguments(vm, args, 2);
    double x = vm.toNumber(arg(args, 0)), y = vm.toNumber(arg(args, 1));
    if (std::isnan(y)) return Value(NAN);
    if ((x == 1 || x == -1) && std::isinf(y)) return Value(NAN);
    return Value(std::pow(x, y));
}

Value mathAtan2(Vm& vm, const Value&, std::span<const Value> args) {
    requireMathArguments(vm, args, 2);
    return Value(std::atan2(vm.toNumber(arg(args, 0)), vm.toNumber(arg(args, 1))));
}

Value mathRandom(Vm&, const Value&, std::span<const Value>) {
    // Seeded once: a movie that prints random numbers prints the same ones on every run.
    static std::mt19937_64 engine(0x4b696e6f);
    return Value(std::uniform_real_distribution<double>(0.0, 1.0)(engine));
}

}  // namespace

void installNumberClasses(Vm& vm) {
    auto toNumberFn = [](Vm& vm, const Value&, std::span<const Value> args) {
        return Value(args.empty() ? 0.0 : vm.toNumber(args[0]));
    };
    Class* number = defineNumericClass(vm, u"Number", toNumberFn, DBL_MAX, 4.9406564584124654e-324);
    vm.defineConstant(number, u"NaN", Value(NAN));
    vm.defineConstant(number, u"POSITIVE_INFINITY", Value(INFINITY));
    vm.defineConstant(number, u"NEGATIVE_INFINITY", Value(-INFINITY));
    vm.defineConstant(number, u"length", Value(1));

    auto toIntFn = [](Vm& vm, const Value&, std::span<const Value> args) {
        return Value(double(toInt32(vm.toNumber(arg(args, 0)))));
    };
    Class* intClass = defineNumericClass(vm, u"int", toIntFn, 2147483647.0, -2147483648.0);
    vm.defineConstant(intClass, u"length", Value(1));

    auto toUintFn = [](Vm& vm, const Value&, std::span<const Value> args) {
        return Value(double(toUint32(vm.toNumber(arg(args, 0)))));
    };
    Class* uintClass = defineNumericClass(vm, u"uint", toUintFn, 4294967295.0, 0);
    vm.defineConstant(uintClass, u"length", Value(1));

    Class* boolean = vm.findClass(u"Boolean");
    boolean->construct = [](Vm&, const Value&, std::span<const Value> args) { return Value(toBoolean(arg(args, 0))); };
}

namespace {

void mathStatics(Vm& vm, Class* math) {
    vm.defineConstant(math, u"PI", Value(M_PI));
    vm.defineConstant(math, u"E", Value(M_E));
    vm.defineConstant(math, u"LN10", Value(M_LN10));
    vm.defineConstant(math, u"LN2", Value(M_LN2));
    vm.defineConstant(math, u"LOG10E", Value(M_LOG10E));
    vm.defineConstant(math, u"LOG2E", Value(M_LOG2E));
    vm.defineConstant(math, u"SQRT1_2", Value(M_SQRT1_2));
    vm.defineConstant(math, u"SQRT2", Value(M_SQRT2));
    vm.defineMethod(math, u"abs", math1<std::fabs>, true, 1);
    vm.defineMethod(math, u"acos", math1<std::acos>, true, 1);
    vm.defineMethod(math, u"asin", math1<std::asin>, true, 1);
    vm.defineMethod(math, u"atan", math1<std::atan>, true, 1);
    vm.defineMethod(math, u"ceil", math1<std::ceil>, true, 1);
    vm.defineMethod(math, u"cos", math1<std::cos>, true, 1);
    vm.defineMethod(math, u"exp", math1<std::exp>, true, 1);
    vm.defineMethod(math, u"floor", math1<std::floor>, true, 1);
    vm.defineMethod(math, u"log", math1<std::log>, true, 1);
    vm.defineMethod(math, u"round", math1<roundHalfUp>, true, 1);
    vm.defineMethod(math, u"sin", math1<std::sin>, true, 1);
    vm.defineMethod(math, u"sqrt", math1<std::sqrt>, true, 1);
    vm.defineMethod(math, u"tan", math1<std::tan>, true, 1);
    vm.defineMethod(math, u"max", mathMax, true, 2);
    vm.defineMethod(math, u"min", mathMin, true, 2);
    vm.defineMethod(math, u"pow", mathPow, true, 2);
    vm.defineMethod(math, u"atan2", mathAtan2, true, 2);
    vm.defineMethod(math, u"random", mathRandom, true);
}

}  // namespace

void installMathClass(Vm& vm) {
    mathStatics(vm, vm.defineClass(u"", u"Math", vm.findClass(u"Object"), [](Vm& vm, Class*) -> Object* {
        vm.throwError(ErrorType::TypeError, "Error #1076: Math is not a constructor.", 1076);
    }));
}

void installNumberStatics(Vm& vm) { mathStatics(vm, vm.findClass(u"Number")); }

}  // namespace kinolux::avm2
