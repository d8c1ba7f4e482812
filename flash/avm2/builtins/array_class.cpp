// Array.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

namespace SortFlag {
constexpr int CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8, Numeric = 16;
}

void checkLength(Vm& vm, std::size_t n) {
    if (n > vm.limits().maxArrayLength) throw avm1::ScriptAbort(avm1::LimitMessage::kArray, false);
    vm.charge(0);
}

ArrayObject& thisList(Vm& vm, const Value& self) {
    Object* o = self.object();
    if (!o || (o->kind != ObjectKind::Array && o->kind != ObjectKind::Vector))
        throwNotA(vm, self, "Array");
    return *static_cast<ArrayObject*>(o);
}

// The methods that walk the elements see them all in `elements`.
ArrayObject& thisArray(Vm& vm, const Value& self) { return vm.denseArray(thisList(vm, self)); }

// An element as a script reads it: a missing one shows what the prototype
// has at its index.
Value elementValue(Vm& vm, const Value& self, const ArrayObject& a, std::size_t i) {
    const Value& e = a.elements[i];
    return e.isHole() ? vm.getPublic(self, numberToString(double(i)).view()) : e;
}

std::vector<Value> elementValues(Vm& vm, const Value& self, const ArrayObject& a, std::size_t from, std::size_t to) {
    std::vector<Value> out;
    for (std::size_t i = from; i < to; ++i) out.push_back(elementValue(vm, self, a, i));
    return out;
}

// What a Vector holds of a value given it: the value as its element type.
Value asElement(Vm& vm, const ArrayObject& a, const Value& v) {
    return a.elementClass ? vm.coerceTo(v, a.elementClass) : v;
}

Object* makeArray(Vm& vm, Class* cls) {
    return vm.make<ArrayObject>(ObjectKind::Array, &cls->instanceTraits, cls, cls->prototype);
}

Value arrayInit(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    if (args.size() == 1 && args[0].isNumber()) {
        double n = args[0].number();
        if (n < 0 || n != std::trunc(n) || n > 4294967295.0)
            vm.throwError(ErrorType::RangeError,
                          "Error #1005: Array index is not a positive integer (" + numberToString(n).toUtf8() + ").",
                          1005);
        a.setArrayLength(std::uint32_t(n));
        vm.charge(a.elements.size() * sizeof(Value));
    } else {
        a.elements.assign(args.begin(), args.end());
    }
    return Value();
}

Value length(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(thisList(vm, self).length()));
}

Value setLength(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisList(vm, self);
    double n = vm.toNumber(arg(args, 0));
    if (a.kind == ObjectKind::Vector && a.fixed) throwFixedVector(vm);
    if (n < 0 || n != std::trunc(n) || n > 4294967295.0)
        vm.throwError(ErrorType::RangeError,
                      "Error #1005: Array index is not a positive integer (" + numberToString(n).toUtf8() + ").", 1005);
    if (a.kind == ObjectKind::Array) {
        const std::size_t held = a.elements.size();
        a.setArrayLength(std::uint32_t(n));
        if (a.elements.size() > held) vm.charge((a.elements.size() - held) * sizeof(Value));
        return Value();
    }
    checkLength(vm, std::size_t(n));
    vm.charge(std::size_t(n) > a.elements.size() ? (std::size_t(n) - a.elements.size()) * sizeof(Value) : 0);
    a.elements.resize(std::size_t(n), vectorFiller(vm, a.elementClass));
    return Value();
}

Value push(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    if (a.fixed) throwFixedVector(vm);
    checkLength(vm, a.elements.size() + args.size());
    vm.charge(args.size() * sizeof(Value));
    for (const Value& v : args) a.elements.push_back(asElement(vm, a, v));
    return Value(double(a.elements.size()));
}

// What taking from an empty list gives: undefined, but the default of a
// Vector of int, uint or Number (the player keeps those apart from the
// Vectors of objects); a fixed Vector refuses.
Value emptyTake(Vm& vm, ArrayObject& a) {
    if (a.kind != ObjectKind::Vector) return Value();
    if (a.fixed) throwFixedVector(vm);
    const auto& b = vm.builtins();
    bool numeric = a.elementClass == b.intClass || a.elementClass == b.uintClass || a.elementClass == b.number;
    return numeric ? vm.coerceTo(Value(), a.elementClass) : Value();
}

Value pop(Vm& vm, const Value& self, std::span<const Value>) {
    ArrayObject& a = thisArray(vm, self);
    if (a.elements.empty() || a.fixed) return emptyTake(vm, a);
    Value v = elementValue(vm, self, a, a.elements.size() - 1);
    a.elements.pop_back();
    return v;
}

Value shift(Vm& vm, const Value& self, std::span<const Value>) {
    ArrayObject& a = thisArray(vm, self);
    if (a.elements.empty() || a.fixed) return emptyTake(vm, a);
    Value v = elementValue(vm, self, a, 0);
    a.elements.erase(a.elements.begin());
    return v;
}

Value removeAt(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    if (a.fixed) return emptyTake(vm, a);
    const std::size_t at = positionArgument(vm, arg(args, 0), a.elements.size(), 0);
    if (at >= a.elements.size()) {
        if (a.kind == ObjectKind::Vector)
            vm.throwError(ErrorType::RangeError,
                          "Error #1125: The index " + std::to_string(at) + " is out of range " +
                              std::to_string(a.elements.size()) + ".",
                          1125);
        return Value();
    }
    Value v = elementValue(vm, self, a, at);
    a.elements.erase(a.elements.begin() + std::ptrdiff_t(at));
    return v;
}

Value insertAt(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    if (a.fixed) emptyTake(vm, a);
    checkLength(vm, a.elements.size() + 1);
    const std::size_t at = positionArgument(vm, arg(args, 0), a.elements.size(), 0);
    Value v = asElement(vm, a, arg(args, 1));
    a.elements.insert(a.elements.begin() + std::ptrdiff_t(at), v);
    return Value();
}

Value unshift(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    if (a.fixed) throwFixedVector(vm);
    checkLength(vm, a.elements.size() + args.size());
    vm.charge(args.size() * sizeof(Value));
    std::vector<Value> added;
    for (const Value& v : args) added.push_back(asElement(vm, a, v));
    a.elements.insert(a.elements.begin(), added.begin(), added.end());
    return Value(double(a.elements.size()));
}

ArrayObject* sameKind(Vm& vm, ArrayObject& a, std::vector<Value> elements) {
    ArrayObject* r = static_cast<ArrayObject*>(a.cls->makeInstance ? a.cls->makeInstance(vm, a.cls) : vm.newArray());
    r->elements = std::move(elements);
    r->elementClass = a.elementClass;
    return r;
}

Value slice(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    std::size_t from = positionArgument(vm, arg(args, 0), a.elements.size(), 0);
    std::size_t to = positionArgument(vm, arg(args, 1), a.elements.size(), double(a.elements.size()));
    std::vector<Value> out = elementValues(vm, self, a, from, std::max(from, to));
    return Value(static_cast<Object*>(sameKind(vm, a, std::move(out))));
}

Value splice(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    if (args.empty()) return Value(static_cast<Object*>(sameKind(vm, a, {})));
    std::size_t from = positionArgument(vm, arg(args, 0), a.elements.size(), 0);
    // A Vector takes a negative count as where to stop, counted from the end.
    double count = args.size() < 2 ? double(a.elements.size() - from) : integerOf(vm.toNumber(args[1]));
    if (count < 0 && a.kind == ObjectKind::Vector) count = double(a.elements.size()) + count - double(from);
    count = std::max(0.0, count);
    std::size_t n = std::size_t(std::min(count, double(a.elements.size() - from)));
    std::vector<Value> removed = elementValues(vm, self, a, from, from + n);
    a.elements.erase(a.elements.begin() + std::ptrdiff_t(from), a.elements.begin() + std::ptrdiff_t(from + n));
    if (args.size() > 2) {
        checkLength(vm, a.elements.size() + args.size() - 2);
        std::vector<Value> added;
        for (const Value& v : args.subspan(2)) added.push_back(asElement(vm, a, v));
        a.elements.insert(a.elements.begin() + std::ptrdiff_t(from), added.begin(), added.end());
    }
    return Value(static_cast<Object*>(sameKind(vm, a, std::move(removed))));
}

Value concat(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    std::vector<Value> out = elementValues(vm, self, a, 0, a.elements.size());
    for (const Value& given : args) {
        // A Vector joins only vectors of its own type.
        const Value v = a.kind == ObjectKind::Vector ? vm.coerceTo(given, a.cls) : given;
        if (a.kind == ObjectKind::Vector && v.isNull()) continue;
        Object* o = v.object();
        if (o && (o->kind == ObjectKind::Array || o->kind == ObjectKind::Vector)) {
            auto& other = vm.denseArray(*static_cast<ArrayObject*>(o));
            checkLength(vm, out.size() + other.elements.size());
            std::vector<Value> more = elementValues(vm, v, other, 0, other.elements.size());
            out.insert(out.end(), more.begin(), more.end());
        } else {
            out.push_back(v);
        }
    }
    vm.charge(out.size() * sizeof(Value));
    return Value(static_cast<Object*>(sameKind(vm, a, std::move(out))));
}

Value join(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    String sep = arg(args, 0).isUndefined() ? String(u",") : vm.toString(args[0]);
    return Value(joinValues(vm, elementValues(vm, self, a, 0, a.elements.size()), sep, a.kind == ObjectKind::Vector));
}

Value toStringMethod(Vm& vm, const Value& self, std::span<const Value>) {
    ArrayObject& a = thisArray(vm, self);
    return Value(joinValues(vm, elementValues(vm, self, a, 0, a.elements.size()), String(u","),
                            a.kind == ObjectKind::Vector));
}

// Each element's own toLocaleString, which most classes leave to Object's.
Value toLocaleStringMethod(Vm& vm, const Value& self, std::span<const Value>) {
    ArrayObject& a = thisArray(vm, self);
    std::vector<Value> texts;
    for (const Value& e : elementValues(vm, self, a, 0, a.elements.size()))
        texts.push_back(e.isNullish() ? e : vm.callProperty(e, Multiname::publicName(String(u"toLocaleString")), {}));
    return Value(joinValues(vm, texts, String(u","), a.kind == ObjectKind::Vector));
}

Value reverse(Vm& vm, const Value& self, std::span<const Value>) {
    std::reverse(thisArray(vm, self).elements.begin(), thisArray(vm, self).elements.end());
    return self;
}

Value indexOf(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    for (std::size_t i = positionArgument(vm, arg(args, 1), a.elements.size(), 0); i < a.elements.size(); ++i)
        if (Vm::strictEquals(a.elements[i], arg(args, 0))) return Value(double(i));
    return Value(-1.0);
}

Value lastIndexOf(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    double from = arg(args, 1).isUndefined() ? double(a.elements.size()) - 1 : integerOf(vm.toNumber(args[1]));
    if (from < 0) from += double(a.elements.size());
    for (double i = std::min(from, double(a.elements.size()) - 1); i >= 0; --i)
        if (Vm::strictEquals(a.elements[std::size_t(i)], arg(args, 0))) return Value(i);
    return Value(-1.0);
}

// forEach, map, filter, some and every: the callback sees (element, index, array).
enum class Walk { ForEach, Map, Filter, Some, Every };
template <Walk W>
Value walk(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    // A Vector's callback is a required parameter.
    if (a.kind == ObjectKind::Vector && args.empty())
        vm.throwError(ErrorType::ArgumentError,
                      "Error #1063: Argument count mismatch on " + vm.classOf(self)->qualifiedName().toUtf8() +
                          ". Expected 1, got 0.",
                      1063);
    Value callback = arg(args, 0), receiver = arg(args, 1);
    // A Vector's callback is typed Function.
    if (a.kind == ObjectKind::Vector) callback = vm.coerceTo(callback, vm.builtins().function);
    std::vector<Value> out;
    for (std::size_t i = 0; i < a.elements.size(); ++i) {
        Value item = elementValue(vm, self, a, i);
        Value callArgs[] = {item, Value(double(i)), self};
        Value r = vm.call(callback, receiver, callArgs);
        if constexpr (W == Walk::Map) out.push_back(asElement(vm, a, r));
        if constexpr (W == Walk::Filter)
            if (toBoolean(r)) out.push_back(item);
        if constexpr (W == Walk::Some)
            if (toBoolean(r)) return Value(true);
        if constexpr (W == Walk::Every)
            if (!toBoolean(r)) return Value(false);
    }
    if constexpr (W == Walk::Map || W == Walk::Filter)
        return Value(static_cast<Object*>(sameKind(vm, a, std::move(out))));
    if constexpr (W == Walk::Some) return Value(false);
    if constexpr (W == Walk::Every) return Value(true);
    return Value();
}

// Whether the player of old SWFs held a number as a small integer, which
// its numeric sort then compared by the bits (negative ones after positive).
bool heldAsSmallInteger(const Value& v) {
    if (!v.isNumber()) return false;
    const double d = v.number();
    return d == std::trunc(d) && d >= -268435456.0 && d < 268435456.0 && !(d == 0 && std::signbit(d));
}

int compareValues(Vm& vm, const Value& a, const Value& b, int flags, const Value& compare) {
    // Undefined sorts last, whatever the order.
    if (!compare.object() && (a.isUndefined() || b.isUndefined()))
        return a.isUndefined() == b.isUndefined() ? 0 : a.isUndefined() ? 1 : -1;
    int r;
    if (compare.object()) {
        Value args[] = {a, b};
        // Up to SWF 12 the player took the whole part of what the function returns.
        double d = vm.toNumber(vm.call(compare, Value::null(), args));
        if (vm.swfVersion() <= 12) d = std::trunc(d);
        r = d < 0 ? -1 : d > 0 ? 1 : 0;
    } else if (flags & SortFlag::Numeric) {
        if (vm.swfVersion() <= 10 && heldAsSmallInteger(a) && heldAsSmallInteger(b)) {
            const std::uint32_t x = std::uint32_t(std::int32_t(a.number())), y = std::uint32_t(std::int32_t(b.number()));
            r = x < y ? -1 : x > y ? 1 : 0;
        } else {
            // NaN is after every number.
            const double x = vm.toNumber(a), y = vm.toNumber(b);
            r = std::isnan(x) || std::isnan(y) ? int(std::isnan(x)) - int(std::isnan(y)) : x < y ? -1 : x > y ? 1 : 0;
        }
    } else {
        String x = vm.toString(a), y = vm.toString(b);
        if (flags & SortFlag::CaseInsensitive) {
            std::u16string p(x.view()), q(y.view());
            for (auto& c : p) c = avm1::foldCase(c);
            for (auto& c : q) c = avm1::foldCase(c);
            r = p.compare(q);
        } else {
            r = x.view().compare(y.view());
        }
        r = r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    return (flags & SortFlag::Descending) ? -r : r;
}

// The player's quicksort: the middle element as the pivot, partitions of
// three or fewer sorted by hand, the smaller partition first. A compare
// function that answers at random sees the calls the player makes, in its
// order, and elements it calls equal end where the player leaves them.
template <class Compare>
void playerQuickSort(std::vector<std::size_t>& order, Compare compare) {
    if (order.size() < 2) return;
    auto cmp = [&](std::size_t x, std::size_t y) { return compare(order[x], order[y]); };
    auto swap = [&](std::size_t x, std::size_t y) { std::swap(order[x], order[y]); };
    std::vector<std::pair<std::size_t, std::size_t>> pending;
    std::size_t lo = 0, hi = order.size() - 1;
    for (;;) {
        const std::size_t size = hi - lo + 1;
        if (size == 3) {
            if (cmp(lo, lo + 1) > 0) swap(lo, lo + 1);
            if (cmp(lo + 1, lo + 2) > 0) {
                swap(lo + 1, lo + 2);
                if (cmp(lo, lo + 1) > 0) swap(lo, lo + 1);
            }
        } else if (size == 2) {
            if (cmp(lo, lo + 1) > 0) swap(lo, lo + 1);
        } else if (size > 3) {
            swap(lo + size / 2, lo);
            std::size_t left = lo, right = hi + 1;
            for (;;) {
                do ++left;
                while (left <= hi && cmp(left, lo) <= 0);
                do --right;
                while (right > lo && cmp(right, lo) >= 0);
                if (right < left) break;
                swap(left, right);
            }
            swap(lo, right);
            const bool lowerFirst = right - 1 - lo < hi - left;
            const bool lowerLeft = lo + 1 < right, upperLeft = left < hi;
            if (lowerFirst) {
                if (upperLeft) pending.emplace_back(left, hi);
                if (lowerLeft) {
                    hi = right - 1;
                    continue;
                }
            } else {
                if (lowerLeft) pending.emplace_back(lo, right - 1);
                if (upperLeft) {
                    lo = left;
                    continue;
                }
            }
        }
        if (pending.empty()) return;
        std::tie(lo, hi) = pending.back();
        pending.pop_back();
    }
}

// Sorts the elements by their keys. Elements that read as undefined go
// after the others, and the missing ones after those, left missing.
Value sortElements(Vm& vm, const Value& self, const std::vector<Value>& keys, int flags, const Value& compare) {
    ArrayObject& a = thisArray(vm, self);
    std::vector<Value> values(a.elements.size());
    std::vector<std::size_t> order, undefinedOnes, missing;
    for (std::size_t i = 0; i < a.elements.size(); ++i) {
        const bool hole = a.elements[i].isHole();
        values[i] = elementValue(vm, self, a, i);
        if (!values[i].isUndefined()) order.push_back(i);
        else (hole ? missing : undefinedOnes).push_back(i);
    }
    auto keyOf = [&](std::size_t i) -> const Value& { return keys.empty() ? values[i] : keys[i]; };
    playerQuickSort(order, [&](std::size_t x, std::size_t y) {
        return compareValues(vm, keyOf(x), keyOf(y), flags, compare);
    });
    if (flags & SortFlag::UniqueSort)
        for (std::size_t i = 1; i < order.size(); ++i)
            if (compareValues(vm, keyOf(order[i - 1]), keyOf(order[i]), flags, compare) == 0) return Value(0);
    order.insert(order.end(), undefinedOnes.begin(), undefinedOnes.end());
    if (flags & SortFlag::ReturnIndexedArray) {
        order.insert(order.end(), missing.begin(), missing.end());
        std::vector<Value> indices;
        for (std::size_t i : order) indices.push_back(Value(double(i)));
        return Value(static_cast<Object*>(vm.newArray(std::move(indices))));
    }
    ArrayObject& now = thisArray(vm, self);  // a compare function may have changed it
    std::vector<Value> sorted;
    for (std::size_t i : order) sorted.push_back(values[i]);
    if (sorted.size() < now.elements.size())
        sorted.resize(now.elements.size(), now.kind == ObjectKind::Array ? Value::hole() : vectorFiller(vm, now.elementClass));
    now.elements = std::move(sorted);
    return self;
}

Value sort(Vm& vm, const Value& self, std::span<const Value> args) {
    Value compare;
    int flags = 0;
    for (const Value& v : args) {
        if (v.object() && v.object()->kind == ObjectKind::Function) compare = v;
        else if (v.isNumber()) flags = int(v.number());
    }
    return sortElements(vm, self, {}, flags, compare);
}

Value sortOn(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject& a = thisArray(vm, self);
    String field = vm.toString(arg(args, 0));
    int flags = arg(args, 1).isNumber() ? int(args[1].number()) : 0;
    std::vector<Value> keys;
    for (const Value& e : a.elements) keys.push_back(e.object() ? vm.getPublic(e, field.view()) : Value());
    return sortElements(vm, self, keys, flags, Value());
}

}  // namespace

String joinValues(Vm& vm, const std::vector<Value>& values, const String& separator, bool nullAsText) {
    std::u16string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) out += separator.view();
        if (!values[i].isNullish()) out += vm.toString(values[i]).view();
        else if (nullAsText) out += u"null";
        if (out.size() > vm.limits().maxStringLength) throw avm1::ScriptAbort(avm1::LimitMessage::kString, false);
    }
    return String(out);
}

void installArrayClass(Vm& vm) {
    Class* array = vm.defineClass(u"", u"Array", vm.findClass(u"Object"), makeArray, ObjectKind::Array);
    vm.defineConstructor(array, arrayInit);
    array->callAsFunction = [](Vm& vm, const Value&, std::span<const Value> args) {
        return Value(vm.construct(vm.builtins().array, args));
    };
    vm.defineGetter(array, u"length", length, setLength);
    vm.defineConstant(array, u"CASEINSENSITIVE", Value(SortFlag::CaseInsensitive));
    vm.defineConstant(array, u"DESCENDING", Value(SortFlag::Descending));
    vm.defineConstant(array, u"UNIQUESORT", Value(SortFlag::UniqueSort));
    vm.defineConstant(array, u"RETURNINDEXEDARRAY", Value(SortFlag::ReturnIndexedArray));
    vm.defineConstant(array, u"NUMERIC", Value(SortFlag::Numeric));
    vm.defineConstant(array, u"length", Value(1));
    vm.defineMethod(array, u"push", push, false, 1);
    vm.defineMethod(array, u"pop", pop);
    vm.defineMethod(array, u"shift", shift);
    vm.defineMethod(array, u"removeAt", removeAt, false, 1);
    vm.defineMethod(array, u"insertAt", insertAt, false, 2);
    vm.defineMethod(array, u"unshift", unshift);
    vm.defineMethod(array, u"slice", slice, false, 2);
    vm.defineMethod(array, u"splice", splice, false, 2);
    vm.defineMethod(array, u"concat", concat, false, 1);
    vm.defineMethod(array, u"join", join, false, 1);
    vm.defineMethod(array, u"toString", toStringMethod);
    vm.defineMethod(array, u"toLocaleString", toLocaleStringMethod);
    vm.defineMethod(array, u"reverse", reverse);
    vm.defineMethod(array, u"indexOf", indexOf, false, 1);
    vm.defineMethod(array, u"lastIndexOf", lastIndexOf, false, 1);
    vm.defineMethod(array, u"forEach", walk<Walk::ForEach>, false, 1);
    vm.defineMethod(array, u"map", walk<Walk::Map>, false, 1);
    vm.defineMethod(array, u"filter", walk<Walk::Filter>, false, 1);
    vm.defineMethod(array, u"some", walk<Walk::Some>, false, 1);
    vm.defineMethod(array, u"every", walk<Walk::Every>, false, 1);
    vm.defineMethod(array, u"sort", sort);
    vm.defineMethod(array, u"sortOn", sortOn, false, 2);
}

}  // namespace kinolux::avm2
