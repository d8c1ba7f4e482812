#include "flash/avm1/stage_object.h"

#include <cmath>
#include <limits>

#include "flash/avm1/display_properties.h"
#include "flash/avm1/timeline_actions.h"
#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

namespace {

constexpr std::u16string_view kDisplayPropertyNames[kDisplayPropertyCount] = {
    u"_x", u"_y", u"_xscale", u"_yscale", u"_currentframe", u"_totalframes", u"_alpha",
    u"_visible", u"_width", u"_height", u"_rotation", u"_target", u"_framesloaded", u"_name",
    u"_droptarget", u"_url", u"_highquality", u"_focusrect", u"_soundbuftime", u"_quality",
    u"_xmouse", u"_ymouse",
};

// The N of "_levelN" (or the old synonym "_flashN"), wrapping like the
// player's own digit loop.
std::int32_t levelNumber(std::u16string_view digits) {
    bool negative = !digits.empty() && digits[0] == u'-';
    if (negative) digits.remove_prefix(1);
    std::uint32_t n = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') break;
        n = n * 10u + static_cast<std::uint32_t>(c - u'0');
    }
    return static_cast<std::int32_t>(negative ? 0u - n : n);
}

}  // namespace

std::optional<DisplayProperty> displayPropertyByName(std::u16string_view name) {
    if (name.size() < 2 || name[0] != u'_') return std::nullopt;
    String s(name);
    for (int i = 0; i < kDisplayPropertyCount; ++i) {
        if (s.equalsIgnoreCase(kDisplayPropertyNames[i])) return static_cast<DisplayProperty>(i);
    }
    return std::nullopt;
}

StageObject::StageObject(Heap& heap, Value proto, DisplayObjectBinding& binding, String path)
    : Object(heap, ObjectKind::Stage, std::move(proto)),
      binding_(&binding),
      displayKind_(binding.kind()),
      path_(std::move(path)) {}

const char16_t* StageObject::typeOf() const {
    return displayKind_ == DisplayKind::MovieClip ? u"movieclip" : u"object";
}

bool StageObject::pathProperty(Vm& vm, const String& name, Value& out) {
    const bool cs = vm.caseSensitive();
    if (name.equals(u"_root", cs)) {
        out = vm.rootObject();
        return true;
    }
    if (name.equals(u"_parent", cs)) {
        DisplayObjectBinding* parent = binding_ ? binding_->parent() : nullptr;
        out = parent ? Value(vm.scriptObjectOf(*parent)) : Value();
        return true;
    }
    if (vm.swfVersion() >= 6 && name.equals(u"_global", cs)) {  // SWF 5 has no _global
        out = Value(vm.global());
        return true;
    }
    if (name.size() >= 6) {
        String prefix(name.view().substr(0, 6));
        if (prefix.equals(u"_level", cs) || prefix.equals(u"_flash", cs)) {
            DisplayObjectBinding* level = vm.host().level(levelNumber(name.view().substr(6)));
            out = level ? Value(vm.scriptObjectOf(*level)) : Value();
            return true;
        }
    }
    return false;
}

bool StageObject::getNative(Vm& vm, const String& name, Value& out) {
    if (!binding_) return false;
    const bool magic = !name.empty() && name[0] == u'_';
    if (magic && pathProperty(vm, name, out)) return true;
    // SWF 4 has no clip values: children are reached through target paths.
    if (vm.swfVersion() >= 5) {
        if (DisplayObjectBinding* child = binding_->childByName(name, vm.caseSensitive())) {
            // A shape has no script object: its name stands for its parent.
            out = Value(vm.scriptObjectOf(child->kind() == DisplayKind::Other ? *binding_ : *child));
            return true;
        }
    }
    if (magic) {
        if (auto p = displayPropertyByName(name.view())) {
            out = getDisplayProperty(vm, *binding_, *p);
            return true;
        }
    }
    return false;
}

namespace {

bool isTabIndex(Vm& vm, const String& name) {
    return vm.caseSensitive() ? name == u"tabIndex" : name.equalsIgnoreCase(u"tabIndex");
}

// A tab index is kept as a whole number: an unsigned one in a text field,
// a signed one elsewhere, where what does not fit (NaN too) is the least.
Value tabIndexOf(Vm& vm, DisplayKind kind, const Value& value) {
    const double n = vm.toNumber(value);
    if (kind == DisplayKind::TextField) return Value(double(std::uint32_t(toInt32(n))));
    if (!std::isfinite(n) || n >= 2147483648.0 || n < -2147483648.0)
        return Value(std::numeric_limits<std::int32_t>::min());
    return Value(std::int32_t(n));
}

}  // namespace

bool StageObject::setNative(Vm& vm, const String& name, const Value& value) {
    if (binding_ && isTabIndex(vm, name)) {
        // A clip's tab index stays out of for..in.
        const std::uint16_t flags = displayKind_ == DisplayKind::MovieClip ? PropertyFlag::DontEnum : 0;
        defineValue(name, value.isUndefined() ? value : tabIndexOf(vm, displayKind_, value), flags);
        return true;
    }
    if (!binding_ || properties().find(name, vm.caseSensitive()) != PropertyMap::kNone) return false;
    auto p = displayPropertyByName(name.view());
    if (!p) return false;
    setDisplayProperty(vm, *binding_, *p, value);
    return true;
}

bool StageObject::hasNative(Vm& vm, const String& name) {
    if (!binding_) return false;
    Value ignored;
    return getNative(vm, name, ignored);
}

void StageObject::appendNativeKeys(Vm& vm, std::vector<String>& keys) {
    // Text fields and buttons list a tab index even before one is set.
    if ((displayKind_ == DisplayKind::TextField || displayKind_ == DisplayKind::Button) &&
        properties().find(String(u"tabIndex"), vm.caseSensitive()) == PropertyMap::kNone)
        keys.emplace_back(u"tabIndex");
    MovieClipBinding* clip = asMovieClip(binding_);
    if (!clip) return;
    std::vector<DisplayObjectBinding*> children = clip->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) keys.push_back((*it)->name());
}

}  // namespace kinolux::avm1
