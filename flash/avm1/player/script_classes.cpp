#include "flash/avm1/player/script_classes.h"

#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/player/bindings.h"
#include "flash/avm1/player/bitmap_data_class.h"
#include "flash/avm1/player/filter_classes.h"
#include "flash/avm1/player/script_values.h"
#include "flash/core/bitmap_object.h"
#include "flash/core/drawing_styles.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {

using kinolux::avm1::Args;
using kinolux::avm1::ObjectRef;
using kinolux::avm1::String;
using kinolux::avm1::Value;
using kinolux::avm1::Vm;
using kinolux::avm1::builtins::arg;

namespace {

DisplayObject* thisObject(Vm& vm, const Value& thisValue) { return displayObjectOf(vm.bindingOf(thisValue)); }

MovieClip* thisClip(Vm& vm, const Value& thisValue) {
    DisplayObject* o = thisObject(vm, thisValue);
    return o && o->kind() == ObjectKind::MovieClip ? static_cast<MovieClip*>(o) : nullptr;
}

Value attachBitmap(Vm& vm, const Value& thisValue, Args args) {
    MovieClip* clip = thisClip(vm, thisValue);
    auto pixels = bitmapDataOf(arg(args, 0));
    if (!clip || !pixels || args.size() < 2) return Value();
    const bool smoothing = vm.toBoolean(arg(args, 3));
    auto bitmap = std::make_shared<BitmapObject>(clip->player(), std::move(pixels), smoothing);
    clip->adopt(std::move(bitmap), vm.toInt32(args[1]) + kTimelineDepthOffset, nullptr);
    return Value();
}

Value beginBitmapFill(Vm& vm, const Value& thisValue, Args args) {
    MovieClip* clip = thisClip(vm, thisValue);
    auto pixels = bitmapDataOf(arg(args, 0));
    if (!clip || !pixels) return Value();
    const QTransform matrix = args.size() > 1 && args[1].isObject() ? matrixOf(vm, args[1]) : QTransform();
    const bool repeat = args.size() < 3 || args[2].isUndefined() || vm.toBoolean(args[2]);
    clip->drawing().beginFill(bitmapFill(std::move(pixels), matrix, repeat, vm.toBoolean(arg(args, 3))));
    return Value();
}

Value getFilters(Vm& vm, const Value& thisValue, Args) {
    DisplayObject* o = thisObject(vm, thisValue);
    return o ? filterArray(vm, o->filters) : Value();
}

Value setFilters(Vm& vm, const Value& thisValue, Args args) {
    if (DisplayObject* o = thisObject(vm, thisValue)) o->filters = filtersOf(vm, arg(args, 0));
    return Value();
}

Value getScrollRect(Vm& vm, const Value& thisValue, Args) {
    DisplayObject* o = thisObject(vm, thisValue);
    if (!o || !o->scrollRect) return Value();
    const QRectF& r = *o->scrollRect;
    return makeRectangle(vm, r.x(), r.y(), r.width(), r.height());
}

// Anything that is not an object takes the rectangle away.
Value setScrollRect(Vm& vm, const Value& thisValue, Args args) {
    DisplayObject* o = thisObject(vm, thisValue);
    if (!o) return Value();
    const Value& v = arg(args, 0);
    if (!v.isObject()) {
        o->scrollRect.reset();
        return Value();
    }
    ObjectRef r = v.objectRef();
    auto number = [&](const char16_t* name) {
        const double d = vm.toNumber(vm.get(r, String(name)));
        return std::isfinite(d) ? d : 0.0;
    };
    o->scrollRect = QRectF(number(u"x"), number(u"y"), number(u"width"), number(u"height"));
    return Value();
}

Value getOpaqueBackground(Vm& vm, const Value& thisValue, Args) {
    DisplayObject* o = thisObject(vm, thisValue);
    if (!o || !o->opaqueBackground) return Value();
    const swf::Color& c = *o->opaqueBackground;
    return Value(double(std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b));
}

// undefined and null take the background away; anything else is a colour.
Value setOpaqueBackground(Vm& vm, const Value& thisValue, Args args) {
    DisplayObject* o = thisObject(vm, thisValue);
    if (!o) return Value();
    const Value& v = arg(args, 0);
    if (v.isNullish()) {
        o->opaqueBackground.reset();
        return Value();
    }
    const std::uint32_t rgb = std::uint32_t(vm.toInt32(v));
    o->opaqueBackground = swf::Color{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255};
    return Value();
}

}  // namespace

void installPlayerClasses(Vm& vm) {
    installBitmapDataClass(vm);
    installFilterClasses(vm);
    const Value global(vm.global());
    if (ObjectRef clip = classPrototype(vm, global, u"MovieClip")) {
        vm.defineMethod(*clip, u"attachBitmap", attachBitmap);
        vm.defineMethod(*clip, u"beginBitmapFill", beginBitmapFill);
        vm.defineProperty(*clip, u"scrollRect", getScrollRect, setScrollRect);
        vm.defineProperty(*clip, u"opaqueBackground", getOpaqueBackground, setOpaqueBackground);
    }
    for (std::u16string_view name : {u"MovieClip", u"Button", u"TextField"}) {
        if (ObjectRef proto = classPrototype(vm, global, name))
            vm.defineProperty(*proto, u"filters", getFilters, setFilters);
    }
}

}  // namespace flash
