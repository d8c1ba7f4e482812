// Math.
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

// The player's Math functions convert their first two arguments, used or
// not (a valueOf there runs).
template <double (*F)(double)>
Value unary(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value(NAN);
    double x = vm.toNumber(args[0]);
    if (args.size() > 1) vm.toNumber(args[1]);
    return Value(F(x));
}

double absolute(double x) { return std::fabs(x); }
double arcCos(double x) { return std::acos(x); }
double arcSin(double x) { return std::asin(x); }
double arcTan(double x) { return std::atan(x); }
double ceiling(double x) { return std::ceil(x); }
double cosine(double x) { return std::cos(x); }
double exponential(double x) { return std::exp(x); }
double flooring(double x) { return std::floor(x); }
double logarithm(double x) { return std::log(x); }
double sine(double x) { return std::sin(x); }
double squareRoot(double x) { return std::sqrt(x); }
double tangent(double x) { return std::tan(x); }
// The player rounds halves up, toward positive infinity.
double rounding(double x) { return std::floor(x + 0.5); }

Value atan2(Vm& vm, const Value&, Args args) {
    if (args.size() < 2) return Value(NAN);
    double y = vm.toNumber(args[0]);
    return Value(std::atan2(y, vm.toNumber(args[1])));
}

// A missing operand is NaN, and the C library's rules apply: pow(1, NaN)
// is 1, as in the player.
Value pow(Vm& vm, const Value&, Args args) {
    double base = args.size() > 0 ? vm.toNumber(args[0]) : NAN;
    double exponent = args.size() > 1 ? vm.toNumber(args[1]) : NAN;
    return Value(std::pow(base, exponent));
}

// Only the first two arguments count, and one alone gives NaN.
Value minMax(Vm& vm, Args args, bool max) {
    if (args.empty()) return Value(max ? -INFINITY : INFINITY);
    double a = vm.toNumber(args[0]);
    if (args.size() < 2) return Value(NAN);
    double b = vm.toNumber(args[1]);
    if (std::isnan(a) || std::isnan(b)) return Value(NAN);
    if (max) return Value(a < b ? b : a);
    return Value(a > b ? b : a);
}

Value max(Vm& vm, const Value&, Args args) { return minMax(vm, args, true); }
Value min(Vm& vm, const Value&, Args args) { return minMax(vm, args, false); }

// Convert the first two arguments, as every Math function does.
void coerceTwo(Vm& vm, Args args) {
    for (std::size_t i = 0; i < args.size() && i < 2; ++i) vm.toNumber(args[i]);
}

Value random(Vm& vm, const Value&, Args args) {
    coerceTwo(vm, args);
    // A 31-bit integer over 2^31: movies rely on the coarse set of values.
    constexpr std::uint32_t kMax = 0x7FFFFFFF;
    return Value(vm.randomBelow(kMax) / (static_cast<double>(kMax) + 1.0));
}

}  // namespace

// A Math table entry the player has no function for: NaN.
Value mathUnknown(Vm& vm, const Value&, Args args) {
    coerceTwo(vm, args);
    return Value(NAN);
}

namespace {

constexpr Member kMathMembers[] = {
    constant(u"E", M_E, kConstant),
    constant(u"LN10", M_LN10, kConstant),
    constant(u"LN2", M_LN2, kConstant),
    constant(u"LOG10E", M_LOG10E, kConstant),
    constant(u"LOG2E", M_LOG2E, kConstant),
    constant(u"PI", M_PI, kConstant),
    constant(u"SQRT1_2", M_SQRT1_2, kConstant),
    constant(u"SQRT2", M_SQRT2, kConstant),
    method(u"abs", unary<absolute>, kConstant),
    method(u"acos", unary<arcCos>, kConstant),
    method(u"asin", unary<arcSin>, kConstant),
    method(u"atan", unary<arcTan>, kConstant),
    method(u"ceil", unary<ceiling>, kConstant),
    method(u"cos", unary<cosine>, kConstant),
    method(u"exp", unary<exponential>, kConstant),
    method(u"floor", unary<flooring>, kConstant),
    method(u"log", unary<logarithm>, kConstant),
    method(u"sin", unary<sine>, kConstant),
    method(u"sqrt", unary<squareRoot>, kConstant),
    method(u"tan", unary<tangent>, kConstant),
    method(u"round", unary<rounding>, kConstant),
    method(u"atan2", atan2, kConstant),
    method(u"pow", pow, kConstant),
    method(u"max", max, kConstant),
    method(u"min", min, kConstant),
    method(u"random", random, kConstant),
};

}  // namespace

void installMath(Vm& vm) {
    defineObject(vm, *vm.global(), u"Math", vm.newObject(), kMathMembers);
}

}  // namespace kinolux::avm1::builtins
