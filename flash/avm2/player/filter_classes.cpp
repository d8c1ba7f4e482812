// flash.filters for ActionScript 3: each filter class's settings are plain
// properties of its instances (kept in range as the player keeps them when
// constructed), read into the file's filter records when a display
// object's `filters` is set or a BitmapData applies one.
#include <cmath>

#include "flash/avm1/player/bitmap_data_class.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/geom_values.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/filter_settings.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;

// The filter class an object is an instance of (or of a subclass of).
const FilterClassInfo* filterClassOf(const Value& v) {
    Object* o = v.object();
    for (Class* c = o ? o->cls : nullptr; c; c = c->super)
        if (c->ns.uri == u"flash.filters")
            if (const FilterClassInfo* info = filterClassNamed(c->name.view())) return info;
    return nullptr;
}

Value settingValue(Vm& vm, const FilterSetting& s, const FilterField& f) {
    switch (f.kind) {
    case FilterFieldKind::Boolean: return Value(s.number != 0);
    case FilterFieldKind::Text: return Value(String(s.text));
    case FilterFieldKind::Numbers: {
        std::vector<Value> items;
        for (double d : s.numbers) items.emplace_back(d);
        return Value(vm.newArray(std::move(items)));
    }
    default: return Value(s.number);
    }
}

FilterSetting settingOf(Vm& vm, const Value& v, const FilterField& f) {
    FilterSetting s;
    switch (f.kind) {
    case FilterFieldKind::Number: s.number = vm.toNumber(v); break;
    case FilterFieldKind::Integer: s.number = kinolux::avm2::toInt32(vm.toNumber(v)); break;
    case FilterFieldKind::Color: s.number = double(kinolux::avm2::toUint32(vm.toNumber(v)) & 0xFFFFFF); break;
    case FilterFieldKind::Boolean: s.number = kinolux::avm2::toBoolean(v) ? 1 : 0; break;
    case FilterFieldKind::Text: s.text = std::u16string(vm.toString(v).view()); break;
    case FilterFieldKind::Numbers:
        if (auto* list = dynamic_cast<kinolux::avm2::ArrayObject*>(v.object()))
            for (const Value& item : list->elements) s.numbers.push_back(vm.toNumber(item));
        break;
    }
    if (!std::isfinite(s.number)) s.number = 0;
    keepInRange(s, f);
    return s;
}

void store(Vm& vm, const Value& target, const FilterSettings& settings) {
    const auto& fields = filterClassInfo(settings.id).fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        vm.setPublic(target, fields[i].name, settingValue(vm, settings.values[i], fields[i]));
}

FilterSettings settingsOf(Vm& vm, const Value& filter, const FilterClassInfo& info) {
    FilterSettings settings(info.id);
    for (std::size_t i = 0; i < info.fields.size(); ++i)
        settings.values[i] = settingOf(vm, vm.getPublic(filter, info.fields[i].name), info.fields[i]);
    return settings;
}

Value filterInit(Vm& vm, const Value& self, Args a) {
    const FilterClassInfo* info = filterClassOf(self);
    if (!info) return Value();
    FilterSettings settings(info->id);
    for (std::size_t i = 0; i < info->fields.size() && i < a.size(); ++i)
        if (!a[i].isUndefined()) settings.values[i] = settingOf(vm, a[i], info->fields[i]);
    store(vm, self, settings);
    return Value();
}

Object* newFilter(Vm& vm, const FilterSettings& settings) {
    Object* made = vm.construct(vm.findClass(u"flash.filters." + std::u16string(filterClassInfo(settings.id).name)), {});
    store(vm, Value(made), settings);
    return made;
}

Value cloneFilter(Vm& vm, const Value& self, Args) {
    const FilterClassInfo* info = filterClassOf(self);
    return info ? Value(newFilter(vm, settingsOf(vm, self, *info))) : Value::null();
}

Value filtersGetter(Vm& vm, const Value& self, Args) {
    std::vector<Value> items;
    if (DisplayObject* d = DisplayBridge::displayOf(self))
        for (const swf::Filter& f : d->filters) items.emplace_back(newFilter(vm, filterSettingsOf(f)));
    return Value(vm.newArray(std::move(items)));
}

Value filtersSetter(Vm& vm, const Value& self, Args a) {
    DisplayObject* d = DisplayBridge::displayOf(self);
    if (!d) return Value();
    d->filters.clear();
    if (auto* list = dynamic_cast<kinolux::avm2::ArrayObject*>(arg(a, 0).object()))
        for (const Value& item : list->elements)
            if (const FilterClassInfo* info = filterClassOf(item)) d->filters.push_back(filterRecord(settingsOf(vm, item, *info)));
    return Value();
}

Value applyFilter(Vm& vm, const Value& self, Args a) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    auto target = bitmapPixelsOf(self);
    auto source = bitmapPixelsOf(arg(a, 0));
    const FilterClassInfo* info = filterClassOf(arg(a, 3));
    if (!bridge || !target || !source || !info) return Value();
    applyFilterToBitmap(*target, bridge->player(), *source, rectangleOf(vm, arg(a, 1)).toRect(),
                        pointOf(vm, arg(a, 2)).toPoint(), filterRecord(settingsOf(vm, arg(a, 3), *info)));
    return Value();
}

}  // namespace

void installFilterClasses(Vm& vm, const std::vector<Class*>& displays) {
    Class* base = vm.defineClass(u"flash.filters", u"BitmapFilter", vm.findClass(u"Object"), nullptr);
    vm.defineTraitMethod(base, u"clone", cloneFilter);
    for (const FilterClassInfo& info : filterClasses()) {
        Class* c = vm.defineClass(u"flash.filters", info.name, base, nullptr);
        vm.defineConstructor(c, filterInit);
    }
    for (Class* c : displays) vm.defineGetter(c, u"filters", filtersGetter, filtersSetter);
}

void installBitmapFilters(Vm& vm) {
    vm.defineTraitMethod(vm.findClass(u"flash.display.BitmapData"), u"applyFilter", applyFilter);
}

}  // namespace flash
