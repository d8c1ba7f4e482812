// Helpers for the built-in classes' native methods.
#pragma once

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <string_view>

#include "flash/avm2/vm.h"

namespace kinolux::avm2 {

inline Value arg(std::span<const Value> args, std::size_t i) { return i < args.size() ? args[i] : Value(); }

// A position argument of String's and Array's methods clamped into
// [0, size]: `fallback` when undefined, negative ones counting from the end
// when `fromEnd` (0 otherwise).
inline std::size_t positionArgument(Vm& vm, const Value& v, std::size_t size, double fallback, bool fromEnd = true) {
    double d = v.isUndefined() ? fallback : integerOf(vm.toNumber(v));
    if (d < 0) d = fromEnd ? std::max(0.0, double(size) + d) : 0;
    return std::size_t(std::min(d, double(size)));
}

// A method of `type` called on something else.
[[noreturn]] inline void throwNotA(Vm& vm, const Value& self, const std::string& type) {
    vm.throwError(ErrorType::TypeError,
                  "Error #1034: Type Coercion failed: cannot convert " + vm.classOf(self)->qualifiedName().toUtf8() +
                      " to " + type + ".",
                  1034);
}

// A native that does nothing and answers undefined: a constructor that
// keeps no state, the setter of a value the player keeps to itself, a call
// a player on a desktop has nothing to do for.
inline Value nothing(Vm&, const Value&, std::span<const Value>) { return Value(); }

[[noreturn]] inline void throwStackOverflow(Vm& vm) {
    vm.throwError(ErrorType::Error, "Error #1023: Stack overflow occurred.", 1023);
}

[[noreturn]] inline void throwFixedVector(Vm& vm) {
    vm.throwError(ErrorType::RangeError, "Error #1126: Cannot change the length of a fixed Vector.", 1126);
}

// The errors natives raise over their arguments, in the player's words.
[[noreturn]] inline void throwNullObject(Vm& vm) {
    vm.throwError(ErrorType::TypeError, "Error #1009: Cannot access a property or method of a null object reference.",
                  1009);
}

[[noreturn]] inline void throwOutOfBounds(Vm& vm) {
    vm.throwError(ErrorType::RangeError, "Error #2006: The supplied index is out of bounds.", 2006);
}

[[noreturn]] inline void throwNullParameter(Vm& vm, std::string_view parameter) {
    vm.throwError(ErrorType::TypeError, "Error #2007: Parameter " + std::string(parameter) + " must be non-null.",
                  2007);
}

[[noreturn]] inline void throwNotAccepted(Vm& vm, std::string_view parameter) {
    vm.throwError(ErrorType::ArgumentError,
                  "Error #2008: Parameter " + std::string(parameter) + " must be one of the accepted values.", 2008);
}

inline void requireNonNull(Vm& vm, const Value& v, std::string_view parameter) {
    if (v.isNullish()) throwNullParameter(vm, parameter);
}

// The installers of each group of built-ins.
void installObjectClasses(Vm& vm);
void installArrayClass(Vm& vm);
void installStringClass(Vm& vm);
void installNumberClasses(Vm& vm);
void installMathClass(Vm& vm);
// Math's constants and functions as statics of Number, which movies for
// SWF 16 and later see.
void installNumberStatics(Vm& vm);
void installErrorClasses(Vm& vm);
void installGlobalFunctions(Vm& vm);
void installUtilsPackage(Vm& vm);
void installVectorClass(Vm& vm);
void installDateClass(Vm& vm);
void installRegExpClass(Vm& vm);
void installByteArrayClass(Vm& vm);
void installJsonClass(Vm& vm);
void installXmlClasses(Vm& vm);
// flash.xml's XMLDocument, XMLNode and XMLNodeType.
void installXmlDocumentClasses(Vm& vm);
void installProxyClass(Vm& vm);
void installUriFunctions(Vm& vm);
// Timer and TimerEvent (after the event classes), setTimeout and setInterval.
void installTimerClasses(Vm& vm);

// The String methods' work with a RegExp argument (see isRegExp).
bool isRegExp(const Value& v);
Value regexpMatch(Vm& vm, const String& subject, const Value& pattern);
double regexpSearch(Vm& vm, const String& subject, const Value& pattern);
String regexpReplace(Vm& vm, const String& subject, const Value& pattern, const Value& with);
std::vector<Value> regexpSplit(Vm& vm, const String& subject, const Value& pattern, double limit);
void installDisplayClasses(Vm& vm);
// Event, and EventDispatcher's methods (before its subclasses copy its traits).
void installEventClasses(Vm& vm, Class* dispatcher);

// What new elements of a Vector.<T> hold: zero for the number types, false
// for Boolean, null for other classes (undefined for Vector.<*>).
Value vectorFiller(Vm& vm, Class* element);

// Array.prototype.join's text: elements' strings between separators, with
// undefined and null as empty text (as "null" when `nullAsText`, as vectors
// show them).
String joinValues(Vm& vm, const std::vector<Value>& values, const String& separator, bool nullAsText = false);

}  // namespace kinolux::avm2
