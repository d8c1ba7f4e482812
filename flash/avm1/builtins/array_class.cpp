// Array, with sort and sortOn as the player sorts (its quicksort, so that
// equal elements end up where the player puts them).
#include <algorithm>
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

namespace SortOption {
constexpr int CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8, Numeric = 16;
}

bool hasElement(Vm& vm, const ObjectRef& object, std::uint32_t index) {
    return object->properties().find(vm.indexName(index), vm.caseSensitive()) != PropertyMap::kNone;
}

void deleteElement(Vm& vm, const ObjectRef& object, std::uint32_t index) {
    vm.deleteProperty(*object, vm.indexName(index));
}

void setLength(Vm& vm, const ObjectRef& object, std::uint32_t length) {
    if (object->kind() == ObjectKind::Array) static_cast<ArrayObject*>(object.get())->setLength(vm, static_cast<std::int32_t>(length));
    else object->setOwnData(vm.names().length, Value(length), vm.caseSensitive());
}

// Deletes the last of `length` elements: a real array gets shorter, an
// array-like object keeps its length property.
void removeLast(Vm& vm, const ObjectRef& object, std::uint32_t length) {
    deleteElement(vm, object, length - 1);
    if (object->kind() == ObjectKind::Array) setLength(vm, object, length - 1);
}

std::int64_t absoluteIndex(std::int32_t index, std::int64_t length) {
    if (index < 0) return std::max<std::int64_t>(index + length, 0);
    return std::min<std::int64_t>(index, length);
}

Value arrayConstruct(Vm& vm, const Value&, Args args) {
    if (args.size() == 1 && args[0].isNumber()) {
        Ref<ArrayObject> array = vm.newArray();
        double n = args[0].number();
        std::int32_t length = std::isnan(n) ? 0 : n >= 2147483647.0 ? 2147483647 : n <= -2147483648.0 ? INT32_MIN : static_cast<std::int32_t>(n);
        array->setLength(vm, length);
        return Value(ObjectRef(array));
    }
    return Value(ObjectRef(vm.newArray(std::vector<Value>(args.begin(), args.end()))));
}

Value push(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    std::uint32_t length = lengthOf(vm, self);
    for (std::size_t i = 0; i < args.size(); ++i) setElement(vm, self, length + static_cast<std::uint32_t>(i), args[i]);
    std::uint32_t newLength = length + static_cast<std::uint32_t>(args.size());
    setLength(vm, self, newLength);
    return Value(newLength);
}

Value unshift(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    std::uint32_t length = lengthOf(vm, self);
    auto count = static_cast<std::uint32_t>(args.size());
    vm.charge(length);
    for (std::uint32_t i = length; i-- > 0;) {
        if (hasElement(vm, self, i)) setElement(vm, self, i + count, elementOf(vm, self, i));
        else deleteElement(vm, self, i + count);
    }
    for (std::uint32_t i = 0; i < count; ++i) setElement(vm, self, i, args[i]);
    if (self->kind() == ObjectKind::Array) setLength(vm, self, length + count);
    return Value(length + count);
}

Value shift(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    std::uint32_t length = lengthOf(vm, self);
    if (length == 0) return Value();
    Value first = elementOf(vm, self, 0);
    vm.charge(length);
    for (std::uint32_t i = 1; i < length; ++i) {
        if (hasElement(vm, self, i)) setElement(vm, self, i - 1, elementOf(vm, self, i));
        else deleteElement(vm, self, i - 1);
    }
    removeLast(vm, self, length);
    return first;
}

Value pop(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    std::uint32_t length = lengthOf(vm, self);
    if (length == 0) return Value();
    Value last = elementOf(vm, self, length - 1);
    removeLast(vm, self, length);
    return last;
}

// Each pair of elements is read, deleted and written back swapped, so
// holes become undefined elements and the swapped pairs move to the end of
// the enumeration order, as in the player.
Value reverse(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    std::uint32_t length = lengthOf(vm, self);
    vm.charge(length);
    for (std::uint32_t lower = 0; lower < length / 2; ++lower) {
        std::uint32_t upper = length - lower - 1;
        Value lowerValue = elementOf(vm, self, lower);
        Value upperValue = elementOf(vm, self, upper);
        deleteElement(vm, self, lower);
        deleteElement(vm, self, upper);
        setElement(vm, self, lower, upperValue);
        setElement(vm, self, upper, lowerValue);
    }
    return Value(self);
}

String joinElements(Vm& vm, const ObjectRef& self, const String& separator) {
    std::uint32_t length = lengthOf(vm, self);
    vm.checkArrayLength(length);
    vm.charge(length);
    std::u16string out;
    for (std::uint32_t i = 0; i < length; ++i) {
        if (i > 0) out += separator.view();
        out += vm.toString(elementOf(vm, self, i)).view();
        vm.checkStringLength(out.size());
    }
    return String(out);
}

Value join(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    String separator = args.empty() ? String(u",") : vm.toString(args[0]);
    return Value(joinElements(vm, self, separator));
}

Value arrayToString(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    return Value(joinElements(vm, self, String(u",")));
}

Value slice(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    std::int64_t length = lengthOf(vm, self);
    std::int64_t start = absoluteIndex(vm.toInt32(arg(args, 0)), length);
    std::int64_t end = arg(args, 1).isUndefined() ? length : absoluteIndex(vm.toInt32(args[1]), length);
    std::vector<Value> out;
    for (std::int64_t i = start; i < end; ++i) out.push_back(elementOf(vm, self, static_cast<std::uint32_t>(i)));
    vm.charge(out.size());
    return Value(ObjectRef(vm.newArray(std::move(out))));
}

Value splice(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty() || args[0].isUndefined()) return Value();
    std::int64_t length = lengthOf(vm, self);
    std::int64_t start = absoluteIndex(vm.toInt32(args[0]), length);
    std::int64_t deleteCount = length - start;
    if (args.size() > 1 && args[1].isUndefined()) return Value();
    if (args.size() > 1) {
        std::int32_t n = vm.toInt32(args[1]);
        if (n < 0) return Value();
        deleteCount = std::min<std::int64_t>(n, length - start);
    }
    vm.charge(static_cast<std::uint64_t>(length));
    std::vector<Value> removed;
    for (std::int64_t i = 0; i < deleteCount; ++i) removed.push_back(elementOf(vm, self, static_cast<std::uint32_t>(start + i)));
    Args items = args.size() > 2 ? args.subspan(2) : Args();
    auto itemCount = static_cast<std::int64_t>(items.size());
    auto move = [&](std::int64_t i) {
        auto to = static_cast<std::uint32_t>(i - deleteCount + itemCount);
        if (hasElement(vm, self, static_cast<std::uint32_t>(i))) setElement(vm, self, to, elementOf(vm, self, static_cast<std::uint32_t>(i)));
        else deleteElement(vm, self, to);
    };
    if (itemCount > deleteCount) {
        for (std::int64_t i = length; i-- > start + deleteCount;) move(i);
    } else {
        for (std::int64_t i = start + deleteCount; i < length; ++i) move(i);
    }
    for (std::int64_t i = 0; i < itemCount; ++i) setElement(vm, self, static_cast<std::uint32_t>(start + i), items[static_cast<std::size_t>(i)]);
    setLength(vm, self, static_cast<std::uint32_t>(length - deleteCount + itemCount));
    return Value(ObjectRef(vm.newArray(std::move(removed))));
}

Value concat(Vm& vm, const Value& thisValue, Args args) {
    std::vector<Value> out;
    auto append = [&](const Value& v) {
        if (v.isObject() && v.object()->kind() == ObjectKind::Array) {
            ObjectRef array = v.objectRef();
            std::uint32_t n = lengthOf(vm, array);
            vm.checkArrayLength(static_cast<double>(out.size()) + n);
            vm.charge(n);
            for (std::uint32_t i = 0; i < n; ++i) out.push_back(elementOf(vm, array, i));
        } else {
            out.push_back(v);
        }
    };
    append(thisValue);
    for (const Value& a : args) append(a);
    return Value(ObjectRef(vm.newArray(std::move(out))));
}

// ---- sorting ----

using Element = std::pair<std::uint32_t, Value>;

int compareStrings(const String& a, const String& b, bool ignoreCase) {
    std::u16string_view x = a.view(), y = b.view();
    std::size_t n = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        char16_t cx = ignoreCase ? foldCase(x[i]) : x[i];
        char16_t cy = ignoreCase ? foldCase(y[i]) : y[i];
        if (cx != cy) return cx < cy ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
}

int compareValues(Vm& vm, const Value& a, const Value& b, int options) {
    int result;
    if (a.isNumber() && b.isNumber() && (options & SortOption::Numeric)) {
        double x = a.number(), y = b.number();
        result = x < y ? -1 : x > y ? 1 : 0;  // NaN compares equal
    } else {
        result = compareStrings(vm.toString(a), vm.toString(b), options & SortOption::CaseInsensitive);
    }
    return (options & SortOption::Descending) ? -result : result;
}

class Comparator {
public:
    virtual int compare(Vm& vm, const Value& a, const Value& b, int options) = 0;
    // The plain value order, with no script involved.
    virtual bool isDefault() const { return false; }

protected:
    ~Comparator() = default;
};

class DefaultComparator final : public Comparator {
public:
    bool isDefault() const override { return true; }
    int compare(Vm& vm, const Value& a, const Value& b, int options) override {
        return compareValues(vm, a, b, options);
    }
};

class FunctionComparator final : public Comparator {
public:
    explicit FunctionComparator(Value fn) : fn_(std::move(fn)) {}
    int compare(Vm& vm, const Value& a, const Value& b, int) override {
        Value args[] = {a, b};
        double r = vm.toNumber(vm.call(fn_, Value(), args));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }

private:
    Value fn_;
};

class FieldComparator final : public Comparator {
public:
    std::vector<std::pair<String, int>> fields;
    int compare(Vm& vm, const Value& a, const Value& b, int options) override {
        if (!a.isObject() || !b.isObject()) return compareValues(vm, a, b, options);
        for (const auto& [name, fieldOptions] : fields) {
            Value x = a.object()->ownValue(name, vm.caseSensitive());
            Value y = b.object()->ownValue(name, vm.caseSensitive());
            int r = compareValues(vm, x, y, fieldOptions);
            if (r != 0) return r;
        }
        return 0;
    }
};

// The player's quicksort: the leftmost element is the pivot. Ranges wait on
// an explicit stack so that sorted input cannot exhaust the C++ stack.
void quicksort(Vm& vm, std::vector<Element>& elements, Comparator& cmp, int options) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges{{0, elements.size()}};
    while (!ranges.empty()) {
        auto [begin, end] = ranges.back();
        ranges.pop_back();
        std::size_t n = end - begin;
        if (n < 2) continue;
        Element* e = elements.data() + begin;
        if (n == 2) {
            vm.charge(1);
            if (cmp.compare(vm, e[0].second, e[1].second, options) > 0) std::swap(e[0], e[1]);
            continue;
        }
        Value pivot = e[0].second;
        std::size_t left = 1, right = n - 1;
        for (;;) {
            while (left < n - 1) {
                vm.charge(1);
                if (cmp.compare(vm, pivot, e[left].second, options) <= 0) break;
                ++left;
            }
            while (right > 0) {
                vm.charge(1);
                if (cmp.compare(vm, pivot, e[right].second, options) > 0) break;
                --right;
            }
            if (left >= right) break;
            std::swap(e[left], e[right]);
        }
        std::swap(e[0], e[right]);
        // The lower part is sorted first, as in the player (a comparison
        // function may trace).
        ranges.emplace_back(begin + right + 1, end);
        ranges.emplace_back(begin, begin + right);
    }
}

// When no script can observe the comparisons and equal elements cannot be
// told apart (all numbers, none NaN, in a numeric sort; all strings in a
// case-sensitive one), any correct sort gives the player's result: this
// spares the quadratic time the player's quicksort takes on sorted input.
bool sortedDirectly(Vm& vm, std::vector<Element>& elements, int options) {
    if (options & SortOption::ReturnIndexedArray) return false;
    const std::size_t n = elements.size();
    auto charge = [&] {
        std::uint64_t steps = n;
        for (std::size_t m = n; m > 1; m >>= 1) steps += n;
        vm.charge(steps);
    };
    if (options & SortOption::Numeric) {
        for (const Element& e : elements) {
            if (!e.second.isNumber() || std::isnan(e.second.number())) return false;
        }
        charge();
        std::sort(elements.begin(), elements.end(),
                  [](const Element& a, const Element& b) { return a.second.number() < b.second.number(); });
        return true;
    }
    if (options & SortOption::CaseInsensitive) return false;
    for (const Element& e : elements) {
        if (!e.second.isString()) return false;
    }
    charge();
    std::sort(elements.begin(), elements.end(), [](const Element& a, const Element& b) {
        return compareStrings(a.second.string(), b.second.string(), false) < 0;
    });
    return true;
}

Value sortElements(Vm& vm, const ObjectRef& self, Comparator& cmp, int options, bool isSortOn) {
    std::uint32_t length = lengthOf(vm, self);
    vm.checkArrayLength(length);
    std::vector<Element> elements;
    elements.reserve(length);
    for (std::uint32_t i = 0; i < length; ++i) elements.emplace_back(i, elementOf(vm, self, i));
    const bool descending = options & SortOption::Descending;
    if (!isSortOn) options &= ~SortOption::Descending;
    if (isSortOn || !cmp.isDefault() || !sortedDirectly(vm, elements, options)) quicksort(vm, elements, cmp, options);
    if (!isSortOn && descending) std::reverse(elements.begin(), elements.end());
    if (options & SortOption::UniqueSort) {
        DefaultComparator plain;
        Comparator& unique = isSortOn ? cmp : plain;
        for (std::size_t i = 1; i < elements.size(); ++i) {
            if (unique.compare(vm, elements[i - 1].second, elements[i].second, options) == 0) return Value(0);
        }
    }
    if (options & SortOption::ReturnIndexedArray) {
        std::vector<Value> indices;
        for (const Element& e : elements) indices.emplace_back(e.first);
        return Value(ObjectRef(vm.newArray(std::move(indices))));
    }
    for (std::size_t i = 0; i < elements.size(); ++i) setElement(vm, self, static_cast<std::uint32_t>(i), elements[i].second);
    return Value(self);
}

Value sort(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    Value fn;
    int options = 0;
    if (!args.empty()) {
        if (args[0].isObject()) {
            fn = args[0];
            if (args.size() > 1 && args[1].isNumber()) options = toInt32(args[1].number());
        } else if (args[0].isNumber()) {
            options = toInt32(args.size() > 1 && args[1].isNumber() ? args[1].number() : args[0].number());
        } else {
            return Value();
        }
    }
    if (fn.isObject()) {
        FunctionComparator cmp(fn);
        return sortElements(vm, self, cmp, options, false);
    }
    DefaultComparator cmp;
    return sortElements(vm, self, cmp, options, false);
}

Value sortOn(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value();
    FieldComparator cmp;
    if (args[0].isObject()) {
        if (args[0].object()->kind() != ObjectKind::Array) {
            DefaultComparator plain;
            return sortElements(vm, self, plain, 0, true);
        }
        ObjectRef names = args[0].objectRef();
        std::uint32_t n = lengthOf(vm, names);
        if (n == 0) return Value(self);
        for (std::uint32_t i = 0; i < n; ++i) cmp.fields.emplace_back(vm.toString(elementOf(vm, names, i)), 0);
        const Value& opts = arg(args, 1);
        if (opts.isObject() && opts.object()->kind() == ObjectKind::Array && lengthOf(vm, opts.objectRef()) == n) {
            for (std::uint32_t i = 0; i < n; ++i) cmp.fields[i].second = vm.toInt32(elementOf(vm, opts.objectRef(), i));
        } else if (args.size() > 1 && opts.isPrimitive()) {
            int o = vm.toInt32(opts);
            for (auto& f : cmp.fields) f.second = o;
        }
    } else {
        int o = arg(args, 1).isNumber() ? toInt32(args[1].number()) : 0;
        cmp.fields.emplace_back(vm.toString(args[0]), o);
    }
    return sortElements(vm, self, cmp, cmp.fields[0].second, true);
}

constexpr Member kArrayPrototypeMembers[] = {
    method(u"push", push),
    method(u"unshift", unshift),
    method(u"shift", shift),
    method(u"pop", pop),
    method(u"reverse", reverse),
    method(u"join", join),
    method(u"slice", slice),
    method(u"splice", splice),
    method(u"concat", concat),
    method(u"toString", arrayToString),
    method(u"sort", sort),
    method(u"sortOn", sortOn),
};

constexpr Member kArraySortOptions[] = {
    constant(u"CASEINSENSITIVE", SortOption::CaseInsensitive, kConstant),
    constant(u"DESCENDING", SortOption::Descending, kConstant),
    constant(u"UNIQUESORT", SortOption::UniqueSort, kConstant),
    constant(u"RETURNINDEXEDARRAY", SortOption::ReturnIndexedArray, kConstant),
    constant(u"NUMERIC", SortOption::Numeric, kConstant),
};

}  // namespace

void installArray(Vm& vm) {
    ObjectRef proto = ObjectRef(vm.heap().make<ArrayObject>(Value(vm.protos().object)));
    proto->setInstanceKind(ObjectKind::Array);
    vm.protos().array = proto;
    defineClass(vm, *vm.global(), {u"Array", arrayConstruct, arrayConstruct, kArrayPrototypeMembers, kArraySortOptions},
                proto);
}

}  // namespace kinolux::avm1::builtins
