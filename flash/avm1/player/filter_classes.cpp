#include "flash/avm1/player/filter_classes.h"

#include "flash/core/filter_settings.h"

#include <cmath>

#include "flash/avm1/array_object.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/player/script_values.h"

namespace flash {

using kinolux::avm1::Args;
using kinolux::avm1::ObjectRef;
using kinolux::avm1::Ref;
using kinolux::avm1::String;
using kinolux::avm1::Value;
using kinolux::avm1::Vm;

namespace {

using Field = FilterField;
using Kind = FilterFieldKind;

const FilterClassInfo& info(FilterClass id) { return filterClassInfo(id); }

// A filter's settings, kept converted as the player keeps them.
class FilterObject : public kinolux::avm1::Object {
public:
    FilterObject(kinolux::avm1::Heap& heap, Value proto, FilterClass id) : Object(heap, std::move(proto)), settings_(id) {}

    using Setting = FilterSetting;
    FilterClass id() const { return settings_.id; }
    std::vector<Setting>& settings() { return settings_.values; }
    const FilterSettings& all() const { return settings_; }
    void setAll(FilterSettings settings) { settings_ = std::move(settings); }

private:
    FilterSettings settings_;
};

FilterObject* filterObject(const Value& v) { return v.isObject() ? dynamic_cast<FilterObject*>(v.object()) : nullptr; }

double finite(double v) { return std::isfinite(v) ? v : 0; }

std::vector<double> numbersOf(Vm& vm, const Value& v) {
    std::vector<double> out;
    ObjectRef list = v.isObject() ? v.objectRef() : nullptr;
    if (!list) return out;
    const std::uint32_t n = std::min<std::uint32_t>(kinolux::avm1::builtins::lengthOf(vm, list), 400);
    for (std::uint32_t i = 0; i < n; ++i) out.push_back(finite(vm.toNumber(vm.get(list, vm.indexName(i)))));
    return out;
}

void assign(Vm& vm, FilterObject::Setting& s, const Field& f, const Value& v) {
    switch (f.kind) {
    case Kind::Number: s.number = finite(vm.toNumber(v)); break;
    case Kind::Integer: s.number = vm.toInt32(v); break;
    case Kind::Color: s.number = double(std::uint32_t(vm.toInt32(v)) & 0xFFFFFF); break;
    case Kind::Boolean: s.number = vm.toBoolean(v) ? 1 : 0; break;
    case Kind::Text: s.text = std::u16string(vm.toString(v).view()); break;
    case Kind::Numbers: s.numbers = numbersOf(vm, v); break;
    }
    keepInRange(s, f);
}

Value valueOf(Vm& vm, const FilterObject::Setting& s, const Field& f) {
    switch (f.kind) {
    case Kind::Boolean: return Value(s.number != 0);
    case Kind::Text: return Value(String(s.text));
    case Kind::Numbers: {
        std::vector<Value> items;
        for (double d : s.numbers) items.emplace_back(d);
        return Value(ObjectRef(vm.newArray(std::move(items))));
    }
    default: return Value(s.number);
    }
}

FilterClass classOfCallee(Vm& vm) { return FilterClass(vm.nativeCallee()->tag() >> 8); }
std::size_t fieldOfCallee(Vm& vm) { return std::size_t(vm.nativeCallee()->tag() & 0xFF); }

Value getField(Vm& vm, const Value& thisValue, Args) {
    FilterObject* f = filterObject(thisValue);
    if (!f || f->id() != classOfCallee(vm)) return Value();
    const std::size_t i = fieldOfCallee(vm);
    return valueOf(vm, f->settings()[i], info(f->id()).fields[i]);
}

Value setField(Vm& vm, const Value& thisValue, Args args) {
    FilterObject* f = filterObject(thisValue);
    if (!f || f->id() != classOfCallee(vm)) return Value();
    const std::size_t i = fieldOfCallee(vm);
    assign(vm, f->settings()[i], info(f->id()).fields[i], kinolux::avm1::builtins::arg(args, 0));
    return Value();
}

ObjectRef prototypeOf(Vm& vm, FilterClass id) {
    return classPrototype(vm, Value(flashPackage(vm, u"filters")), info(id).name);
}

Ref<FilterObject> makeFilter(Vm& vm, FilterClass id, Value proto) { return vm.heap().make<FilterObject>(std::move(proto), id); }

Value construct(Vm& vm, const Value& thisValue, Args args) {
    const FilterClass id = FilterClass(vm.nativeCallee()->tag());
    Value proto = thisValue.isObject() ? thisValue.object()->protoValue() : Value(prototypeOf(vm, id));
    Ref<FilterObject> f = makeFilter(vm, id, proto);
    const auto& fields = info(id).fields;
    for (std::size_t i = 0; i < fields.size() && i < args.size(); ++i)
        if (!args[i].isUndefined()) assign(vm, f->settings()[i], fields[i], args[i]);
    return Value(ObjectRef(f));
}

Value clone(Vm& vm, const Value& thisValue, Args) {
    FilterObject* f = filterObject(thisValue);
    if (!f) return Value();
    Ref<FilterObject> copy = makeFilter(vm, f->id(), f->protoValue());
    copy->settings() = f->settings();
    return Value(ObjectRef(copy));
}

}  // namespace

std::optional<swf::Filter> filterOf(const Value& v) {
    const FilterObject* object = filterObject(v);
    if (!object) return std::nullopt;
    return filterRecord(object->all());
}

std::vector<swf::Filter> filtersOf(Vm& vm, const Value& list) {
    std::vector<swf::Filter> out;
    ObjectRef array = list.isObject() ? list.objectRef() : nullptr;
    if (!array) return out;
    const std::uint32_t n = std::min<std::uint32_t>(kinolux::avm1::builtins::lengthOf(vm, array), 64);
    for (std::uint32_t i = 0; i < n; ++i)
        if (auto f = filterOf(vm.get(array, vm.indexName(i)))) out.push_back(std::move(*f));
    return out;
}

Value filterArray(Vm& vm, const std::vector<swf::Filter>& filters) {
    std::vector<Value> items;
    for (const swf::Filter& filter : filters) {
        FilterSettings settings = filterSettingsOf(filter);
        Ref<FilterObject> f = makeFilter(vm, settings.id, Value(prototypeOf(vm, settings.id)));
        f->setAll(std::move(settings));
        if (f) items.emplace_back(ObjectRef(f));
    }
    return Value(ObjectRef(vm.newArray(std::move(items))));
}

QRect filterBounds(QRect r, const swf::Filter& f) {
    double bx = 0, by = 0;
    std::visit([&](const auto& filter) {
        if constexpr (requires { filter.blurX; }) {
            bx = filter.blurX / 65536.0;
            by = filter.blurY / 65536.0;
        }
    }, f);
    const int dx = int(std::ceil(bx / 2)), dy = int(std::ceil(by / 2));
    return r.adjusted(-dx, -dy, dx, dy);
}

void installFilterClasses(Vm& vm) {
    using kinolux::avm1::builtins::defineClass;
    ObjectRef package = flashPackage(vm, u"filters");
    ObjectRef base = vm.newObject();
    defineClass(vm, *package, u"BitmapFilter", nullptr, nullptr, base);
    vm.defineMethod(*base, u"clone", clone);
    for (const FilterClassInfo& c : filterClasses()) {
        ObjectRef proto = vm.newObject();
        proto->setProto(Value(base));
        auto ctor = vm.newNative(construct, construct, proto);
        ctor->setTag(int(c.id));
        package->defineValue(String(c.name), Value(ObjectRef(ctor)), kinolux::avm1::PropertyFlag::DontEnum);
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            auto getter = vm.newNative(getField);
            getter->setTag(int(c.id) << 8 | int(i));
            auto setter = vm.newNative(setField);
            setter->setTag(int(c.id) << 8 | int(i));
            proto->defineAccessor(String(c.fields[i].name), ObjectRef(getter), ObjectRef(setter), kinolux::avm1::builtins::kHidden);
        }
    }
}

}  // namespace flash
