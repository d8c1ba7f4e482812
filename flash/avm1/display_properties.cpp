#include "flash/avm1/display_properties.h"

#include <cmath>

#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

bool isReadOnly(DisplayProperty p) {
    switch (p) {
    case DisplayProperty::CurrentFrame:
    case DisplayProperty::TotalFrames:
    case DisplayProperty::Target:
    case DisplayProperty::FramesLoaded:
    case DisplayProperty::DropTarget:
    case DisplayProperty::Url:
    case DisplayProperty::XMouse:
    case DisplayProperty::YMouse: return true;
    default: return false;
    }
}

Value getDisplayProperty(Vm& vm, DisplayObjectBinding& object, DisplayProperty p) {
    Host& host = vm.host();
    switch (p) {
    case DisplayProperty::CurrentFrame:
    case DisplayProperty::TotalFrames:
    case DisplayProperty::FramesLoaded:
        if (object.kind() != DisplayKind::MovieClip) return Value();
        return Value(object.property(p));
    case DisplayProperty::Visible: return Value(object.property(p) != 0);
    case DisplayProperty::Target: return Value(vm.slashPath(object));
    case DisplayProperty::Name: return Value(object.name());
    case DisplayProperty::DropTarget: {
        DisplayObjectBinding* target = object.dropTarget();
        if (target) return Value(vm.slashPath(*target));
        return vm.swfVersion() < 6 ? Value() : Value(String());
    }
    case DisplayProperty::Url: return Value(object.url());
    case DisplayProperty::HighQuality: {
        String q = host.quality();
        if (q.equalsIgnoreCase(u"BEST")) return Value(2);
        if (q.equalsIgnoreCase(u"LOW")) return Value(0);
        return Value(1);
    }
    case DisplayProperty::FocusRect: return host.focusRect();
    case DisplayProperty::SoundBufTime: return Value(host.soundBufferTime());
    case DisplayProperty::Quality: return Value(host.quality());
    default: return Value(object.property(p));
    }
}

namespace {

// The number a property assignment stores, or nullopt when the value does
// not convert (the property keeps its value).
std::optional<double> propertyNumber(Vm& vm, const Value& value) {
    if (value.isNullish()) return std::nullopt;
    double n = vm.toNumber(value);
    if (!std::isfinite(n)) return std::nullopt;
    return n;
}

}  // namespace

void convertForProperty(Vm& vm, DisplayProperty p, const Value& value) {
    switch (p) {
    case DisplayProperty::Name:
    case DisplayProperty::Quality: vm.toString(value); return;
    case DisplayProperty::Url:
    case DisplayProperty::Target:
    case DisplayProperty::DropTarget:
    case DisplayProperty::FocusRect: return;
    default: vm.toNumber(value); return;
    }
}

void setDisplayProperty(Vm& vm, DisplayObjectBinding& object, DisplayProperty p, const Value& value) {
    Host& host = vm.host();
    switch (p) {
    case DisplayProperty::Name: object.setName(vm.toString(value)); return;
    case DisplayProperty::Quality: host.setQuality(vm.toString(value)); return;
    case DisplayProperty::HighQuality: {
        double n = vm.toNumber(value);
        if (std::isnan(n)) return;
        host.setQuality(String(n > 1.5 ? u"BEST" : n == 0 ? u"LOW" : u"HIGH"));
        return;
    }
    case DisplayProperty::FocusRect: host.setFocusRect(value); return;
    case DisplayProperty::SoundBufTime: {
        double n = vm.toNumber(value);
        if (!std::isnan(n)) host.setSoundBufferTime(n);
        return;
    }
    case DisplayProperty::Rotation: {
        auto n = propertyNumber(vm, value);
        if (!n) return;
        double degrees = std::fmod(*n, 360.0);
        if (degrees < -180) degrees += 360;
        else if (degrees > 180) degrees -= 360;
        object.setProperty(p, degrees);
        return;
    }
    case DisplayProperty::Visible: {
        auto n = propertyNumber(vm, value);
        if (n) object.setProperty(p, *n != 0 ? 1 : 0);
        return;
    }
    default: {
        if (isReadOnly(p)) return;
        auto n = propertyNumber(vm, value);
        if (n) object.setProperty(p, *n);
        return;
    }
    }
}

}  // namespace kinolux::avm1
