// String.
#include "flash/avm1/case_mapping.h"
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

String thisString(Vm& vm, const Value& self) { return self.isString() ? self.string() : vm.toString(self); }

Value charAt(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self);
    double i = integerOf(vm.toNumber(arg(args, 0)));
    if (i < 0 || i >= double(s.size())) return Value(String());
    return Value(s.substr(std::size_t(i), 1));
}

Value charCodeAt(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self);
    double i = integerOf(vm.toNumber(arg(args, 0)));
    if (i < 0 || i >= double(s.size())) return Value(NAN);
    return Value(double(s[std::size_t(i)]));
}

Value indexOf(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self), needle = vm.toString(arg(args, 0));
    std::size_t from = positionArgument(vm, arg(args, 1), s.size(), 0, false);
    std::size_t at = s.view().find(needle.view(), from);
    return Value(at == std::u16string_view::npos ? -1.0 : double(at));
}

Value lastIndexOf(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self), needle = vm.toString(arg(args, 0));
    Value fromArg = arg(args, 1);
    double from = fromArg.isUndefined() ? double(s.size()) : vm.toNumber(fromArg);
    if (std::isnan(from)) from = double(s.size());
    if (from < 0) return Value(-1.0);
    std::size_t at = s.view().rfind(needle.view(), std::size_t(std::min(from, double(s.size()))));
    return Value(at == std::u16string_view::npos ? -1.0 : double(at));
}

Value substring(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self);
    std::size_t a = positionArgument(vm, arg(args, 0), s.size(), 0, false);
    std::size_t b = positionArgument(vm, arg(args, 1), s.size(), double(s.size()), false);
    if (a > b) std::swap(a, b);
    return Value(s.substr(a, b - a));
}

Value substr(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self);
    std::size_t a = positionArgument(vm, arg(args, 0), s.size(), 0);
    double len = arg(args, 1).isUndefined() ? double(s.size()) : integerOf(vm.toNumber(arg(args, 1)));
    if (len < 0) {
        // The player counts a negative length back from the end of the
        // string, and gives nothing where that reaches the end.
        double end = double(a) + len + double(s.size());
        if (end >= double(s.size()) || end <= double(a)) return Value(String());
        len = end - double(a);
    }
    if (len == 0) return Value(String());
    return Value(s.substr(a, std::size_t(std::min(len, double(s.size() - a)))));
}

Value slice(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self);
    std::size_t a = positionArgument(vm, arg(args, 0), s.size(), 0);
    std::size_t b = positionArgument(vm, arg(args, 1), s.size(), double(s.size()));
    return Value(b > a ? s.substr(a, b - a) : String());
}

Value split(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self);
    std::vector<Value> parts;
    double limit = arg(args, 1).isUndefined() ? 4294967295.0 : double(toUint32(vm.toNumber(arg(args, 1))));
    if (isRegExp(arg(args, 0))) {
        parts = regexpSplit(vm, s, args[0], limit);
    } else if (arg(args, 0).isUndefined()) {
        parts.push_back(Value(s));
    } else {
        String sep = vm.toString(arg(args, 0));
        std::u16string_view v = s.view();
        if (sep.empty()) {
            for (std::size_t i = 0; i < v.size() && parts.size() < limit; ++i) parts.push_back(Value(s.substr(i, 1)));
            // The empty string splits into itself.
            if (v.empty() && limit > 0) parts.push_back(Value(s));
        } else {
            std::size_t start = 0;
            while (parts.size() < limit) {
                std::size_t at = v.find(sep.view(), start);
                if (at == std::u16string_view::npos) {
                    parts.push_back(Value(s.substr(start, v.size() - start)));
                    break;
                }
                parts.push_back(Value(s.substr(start, at - start)));
                start = at + sep.size();
            }
        }
    }
    return Value(static_cast<Object*>(vm.newArray(std::move(parts))));
}

Value toUpper(Vm& vm, const Value& self, std::span<const Value>) {
    std::u16string s(thisString(vm, self).view());
    for (char16_t& c : s) c = avm1::toUpperCase(c);
    return Value(String(s));
}

Value toLower(Vm& vm, const Value& self, std::span<const Value>) {
    std::u16string s(thisString(vm, self).view());
    for (char16_t& c : s) c = avm1::toLowerCase(c);
    return Value(String(s));
}

Value concatMethod(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self);
    for (const Value& v : args) s = vm.concat(s, vm.toString(v));
    return Value(s);
}

Value fromCharCode(Vm& vm, const Value&, std::span<const Value> args) {
    std::u16string s;
    for (const Value& v : args) s.push_back(char16_t(toUint32(vm.toNumber(v)) & 0xFFFF));
    return Value(String(s));
}

Value replace(Vm& vm, const Value& self, std::span<const Value> args) {
    String s = thisString(vm, self);
    if (isRegExp(arg(args, 0))) return Value(regexpReplace(vm, s, args[0], arg(args, 1)));
    String pattern = vm.toString(arg(args, 0));
    std::size_t at = s.view().find(pattern.view());
    if (at == std::u16string_view::npos) return Value(s);
    Value with = arg(args, 1);
    String replacement;
    if (Object* f = with.object(); f && f->kind == ObjectKind::Function) {
        Value callArgs[] = {Value(pattern), Value(double(at)), Value(s)};
        replacement = vm.toString(vm.call(with, Value::null(), callArgs));
    } else {
        replacement = vm.toString(with);
    }
    String head = vm.concat(s.substr(0, at), replacement);
    return Value(vm.concat(head, s.substr(at + pattern.size(), s.size() - at - pattern.size())));
}

// A pattern that is not a RegExp is made one, as the player does.
Value patternOf(Vm& vm, const Value& v) {
    if (isRegExp(v)) return v;
    Value source(vm.toString(v));
    return vm.constructValue(Value(static_cast<Object*>(vm.findClass(u"RegExp")->object)),
                             std::span<const Value>(&source, 1));
}

Value match(Vm& vm, const Value& self, std::span<const Value> args) {
    return regexpMatch(vm, thisString(vm, self), patternOf(vm, arg(args, 0)));
}

Value search(Vm& vm, const Value& self, std::span<const Value> args) {
    return Value(regexpSearch(vm, thisString(vm, self), patternOf(vm, arg(args, 0))));
}

Value localeCompare(Vm& vm, const Value& self, std::span<const Value> args) {
    String a = thisString(vm, self), b = vm.toString(arg(args, 0));
    int c = a.view().compare(b.view());
    return Value(double(c < 0 ? -1 : c > 0 ? 1 : 0));
}

Value stringValue(Vm& vm, const Value& self, std::span<const Value>) {
    if (self.object() && self.object() == vm.builtins().string->prototype) return Value(String());
    if (!self.isString())
        vm.throwError(ErrorType::TypeError,
                      "Error #1004: Method String.prototype.toString was invoked on an incompatible object.", 1004);
    return self;
}

}  // namespace

void installStringClass(Vm& vm) {
    Class* string = vm.defineClass(u"", u"String", vm.findClass(u"Object"), nullptr);
    string->sealed = true;
    auto toStringFn = [](Vm& vm, const Value&, std::span<const Value> args) {
        return Value(args.empty() ? String() : vm.toString(args[0]));
    };
    string->callAsFunction = toStringFn;
    string->construct = toStringFn;
    vm.defineConstant(string, u"length", Value(1));
    vm.defineMethod(string, u"fromCharCode", fromCharCode, true, 1);
    vm.defineMethod(string, u"charAt", charAt, false, 1);
    vm.defineMethod(string, u"charCodeAt", charCodeAt, false, 1);
    vm.defineMethod(string, u"indexOf", indexOf, false, 2);
    vm.defineMethod(string, u"lastIndexOf", lastIndexOf, false, 2);
    vm.defineMethod(string, u"substring", substring, false, 2);
    vm.defineMethod(string, u"substr", substr, false, 2);
    vm.defineMethod(string, u"slice", slice, false, 2);
    vm.defineMethod(string, u"split", split, false, 2);
    vm.defineMethod(string, u"toUpperCase", toUpper);
    vm.defineMethod(string, u"toLowerCase", toLower);
    vm.defineMethod(string, u"toLocaleUpperCase", toUpper);
    vm.defineMethod(string, u"toLocaleLowerCase", toLower);
    vm.defineMethod(string, u"concat", concatMethod, false, 1);
    vm.defineMethod(string, u"replace", replace, false, 2);
    vm.defineMethod(string, u"match", match, false, 1);
    vm.defineMethod(string, u"search", search, false, 1);
    vm.defineMethod(string, u"localeCompare", localeCompare, false, 1);
    vm.defineMethod(string, u"toString", stringValue);
    vm.defineMethod(string, u"valueOf", stringValue);
}

}  // namespace kinolux::avm2
