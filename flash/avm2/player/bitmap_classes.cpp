// flash.display.BitmapData and Bitmap on the player's pixels: a BitmapData
// holds a shared picture that Bitmaps on the display list show, so a change
// to its pixels shows in the next frame. A class linked to a bitmap
// character starts with the character's pixels.
#include <QRect>
#include <cmath>

#include "flash/avm1/player/bitmap_data_class.h"
#include "flash/avm1/player/object_binding.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/geom_values.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/bitmap_decoder.h"
#include "flash/core/bitmap_object.h"
#include "flash/core/bitmap_operations.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;

class PixelsObject : public Object {
public:
    using Object::Object;
    std::shared_ptr<BitmapData> pixels;
};

Object* makePixels(Vm& vm, Class* cls) {
    return vm.make<PixelsObject>(kinolux::avm2::ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
}

std::shared_ptr<BitmapData> pixelsOf(const Value& v) { return bitmapPixelsOf(v); }

BitmapData& self(Vm& vm, const Value& v) {
    auto pixels = pixelsOf(v);
    if (!pixels) vm.throwError(ErrorType::ArgumentError, "Error #2015: Invalid BitmapData.", 2015);
    return *pixels;
}

std::uint32_t color(Vm& vm, const Value& v) { return kinolux::avm2::toUint32(vm.toNumber(v)); }
int integer(Vm& vm, const Value& v) { return int(kinolux::avm2::toInt32(vm.toNumber(v))); }
QRect pixelRect(Vm& vm, const Value& v) { return rectangleOf(vm, v).toRect(); }
QPoint pixelPoint(Vm& vm, const Value& v) { return pointOf(vm, v).toPoint(); }

// The bitmap character a class is linked to, through SymbolClass.
std::shared_ptr<BitmapData> linkedPixels(Vm& vm, Class* cls) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bridge) return nullptr;
    for (Class* c = cls; c; c = c->super)
        if (const Character* character = bridge->symbolCharacter(c))
            if (character->kind == CharacterKind::Bitmap) return bitmapDataOfCharacter(*character);
    return nullptr;
}

Value bitmapDataInit(Vm& vm, const Value& v, Args a) {
    auto* o = dynamic_cast<PixelsObject*>(v.object());
    if (!o) return Value();
    if (auto linked = linkedPixels(vm, o->cls)) {
        o->pixels = std::move(linked);
        return Value();
    }
    const bool transparent = a.size() < 3 || kinolux::avm2::toBoolean(a[2]);
    const std::uint32_t fill = a.size() > 3 ? color(vm, a[3]) : 0xFFFFFFFFu;
    auto pixels = std::make_shared<BitmapData>(integer(vm, arg(a, 0)), integer(vm, arg(a, 1)), transparent, fill);
    if (!pixels->valid()) vm.throwError(ErrorType::ArgumentError, "Error #2015: Invalid BitmapData.", 2015);
    o->pixels = std::move(pixels);
    return Value();
}

Value width(Vm& vm, const Value& v, Args) { return Value(self(vm, v).width()); }
Value height(Vm& vm, const Value& v, Args) { return Value(self(vm, v).height()); }
Value transparent(Vm& vm, const Value& v, Args) { return Value(self(vm, v).transparent()); }
Value rect(Vm& vm, const Value& v, Args) {
    BitmapData& b = self(vm, v);
    return Value(newRectangle(vm, QRectF(0, 0, b.width(), b.height())));
}
Value getPixel(Vm& vm, const Value& v, Args a) {
    return Value(double(self(vm, v).pixel32(integer(vm, arg(a, 0)), integer(vm, arg(a, 1))) & 0xFFFFFFu));
}
Value getPixel32(Vm& vm, const Value& v, Args a) {
    return Value(double(self(vm, v).pixel32(integer(vm, arg(a, 0)), integer(vm, arg(a, 1)))));
}
// setPixel keeps the pixel's alpha.
Value setPixel(Vm& vm, const Value& v, Args a) {
    BitmapData& b = self(vm, v);
    int x = integer(vm, arg(a, 0)), y = integer(vm, arg(a, 1));
    b.setPixel32(x, y, (b.pixel32(x, y) & 0xFF000000u) | (color(vm, arg(a, 2)) & 0xFFFFFFu));
    return Value();
}
Value setPixel32(Vm& vm, const Value& v, Args a) {
    self(vm, v).setPixel32(integer(vm, arg(a, 0)), integer(vm, arg(a, 1)), color(vm, arg(a, 2)));
    return Value();
}
Value fillRect(Vm& vm, const Value& v, Args a) {
    pixels::fillRect(self(vm, v), pixelRect(vm, arg(a, 0)), color(vm, arg(a, 1)));
    return Value();
}
Value floodFill(Vm& vm, const Value& v, Args a) {
    pixels::floodFill(self(vm, v), integer(vm, arg(a, 0)), integer(vm, arg(a, 1)), color(vm, arg(a, 2)));
    return Value();
}
Value copyPixels(Vm& vm, const Value& v, Args a) {
    BitmapData& b = self(vm, v);
    auto source = pixelsOf(arg(a, 0));
    if (!source) throwNullParameter(vm, "sourceBitmapData");
    auto alpha = pixelsOf(arg(a, 3));
    pixels::copyPixels(b, *source, pixelRect(vm, arg(a, 1)), pixelPoint(vm, arg(a, 2)), alpha.get(),
                       pixelPoint(vm, arg(a, 4)), kinolux::avm2::toBoolean(arg(a, 5)));
    return Value();
}
Value copyChannel(Vm& vm, const Value& v, Args a) {
    BitmapData& b = self(vm, v);
    auto source = pixelsOf(arg(a, 0));
    if (!source) throwNullParameter(vm, "sourceBitmapData");
    pixels::copyChannel(b, *source, pixelRect(vm, arg(a, 1)), pixelPoint(vm, arg(a, 2)), integer(vm, arg(a, 3)),
                        integer(vm, arg(a, 4)));
    return Value();
}
Value colorTransformMethod(Vm& vm, const Value& v, Args a) {
    pixels::colorTransform(self(vm, v), pixelRect(vm, arg(a, 0)), colorTransformOf(vm, arg(a, 1)));
    return Value();
}
Value scroll(Vm& vm, const Value& v, Args a) {
    pixels::scroll(self(vm, v), integer(vm, arg(a, 0)), integer(vm, arg(a, 1)));
    return Value();
}
Value noise(Vm& vm, const Value& v, Args a) {
    pixels::noise(self(vm, v), kinolux::avm2::toInt32(vm.toNumber(arg(a, 0))), a.size() > 1 ? integer(vm, a[1]) : 0,
                  a.size() > 2 ? integer(vm, a[2]) : 255, a.size() > 3 ? integer(vm, a[3]) : 7,
                  kinolux::avm2::toBoolean(arg(a, 4)));
    return Value();
}
Value getColorBoundsRect(Vm& vm, const Value& v, Args a) {
    const QRect r = pixels::colorBoundsRect(self(vm, v), color(vm, arg(a, 0)), color(vm, arg(a, 1)),
                                            a.size() < 3 || kinolux::avm2::toBoolean(a[2]));
    return Value(newRectangle(vm, QRectF(r)));
}
Value pixelDissolve(Vm& vm, const Value& v, Args a) {
    BitmapData& b = self(vm, v);
    const Value& from = arg(a, 0);
    auto* fromObject = dynamic_cast<PixelsObject*>(from.object());
    if (!fromObject) throwNullParameter(vm, "sourceBitmapData");
    BitmapData& source = self(vm, from);
    if (!arg(a, 1).object()) throwNullParameter(vm, "sourceRect");
    const int count = integer(vm, arg(a, 4));
    if (count < 0)
        vm.throwError(
            ErrorType::RangeError,
            "Error #2027: Parameter numPixels must be a non-negative number; got " + std::to_string(count) + ".", 2027);
    return Value(
        double(pixels::pixelDissolve(b, source, pixelRect(vm, a[1]), pixelPoint(vm, arg(a, 2)),
                                     kinolux::avm2::toInt32(vm.toNumber(arg(a, 3))), count, color(vm, arg(a, 5)))));
}
Value threshold(Vm& vm, const Value& v, Args a) {
    BitmapData& b = self(vm, v);
    if (!dynamic_cast<PixelsObject*>(arg(a, 0).object())) throwNullParameter(vm, "sourceBitmapData");
    BitmapData& source = self(vm, a[0]);
    requireNonNull(vm, arg(a, 3), "operation");
    const auto comparison = pixels::comparisonNamed(vm.toString(a[3]).view());
    if (!comparison)
        vm.throwError(ErrorType::ArgumentError, "Error #2005: Parameter 3 is of the incorrect type. Should be type Op.",
                      2005);
    const std::uint32_t mask = a.size() > 6 ? color(vm, a[6]) : 0xFFFFFFFFu;
    return Value(double(pixels::threshold(b, source, pixelRect(vm, arg(a, 1)), pixelPoint(vm, arg(a, 2)), *comparison,
                                          color(vm, arg(a, 4)), color(vm, arg(a, 5)), mask,
                                          kinolux::avm2::toBoolean(arg(a, 7)))));
}
bool isOfClass(Vm& vm, const Value& v, std::u16string_view name) {
    Object* o = v.object();
    Class* c = vm.findClass(name);
    return o && c && o->cls && o->cls->isSubclassOf(c);
}
BitmapObject* bitmapOf(const Value& v);
// What is tested against: another bitmap's pixels (a BitmapData or a
// Bitmap, placed by a point), a rectangle or a point.
Value hitTest(Vm& vm, const Value& v, Args a) {
    BitmapData& b = self(vm, v);
    const QPoint at = pixelPoint(vm, arg(a, 0));
    const int threshold = int(color(vm, arg(a, 1)) & 0xFF);
    const Value& test = arg(a, 2);
    std::shared_ptr<BitmapData> other;
    if (dynamic_cast<PixelsObject*>(test.object())) {
        self(vm, test);  // a disposed one is refused
        other = pixelsOf(test);
    } else if (BitmapObject* shown = bitmapOf(test)) other = shown->pixels();
    if (other) {
        if (!arg(a, 3).object()) throwNullParameter(vm, "secondBitmapDataPoint");
        const int otherThreshold = a.size() > 4 ? int(color(vm, a[4]) & 0xFF) : 1;
        return Value(pixels::hitTestBitmap(b, at, threshold, *other, pixelPoint(vm, a[3]), otherThreshold));
    }
    if (isOfClass(vm, test, u"flash.geom.Rectangle"))
        return Value(pixels::hitTestRect(b, threshold, pixelRect(vm, test).translated(-at)));
    if (isOfClass(vm, test, u"flash.geom.Point"))
        return Value(pixels::hitTestPoint(b, threshold, pixelPoint(vm, test) - at));
    vm.throwError(ErrorType::ArgumentError,
                  "Error #2005: Parameter secondObject is of the incorrect type. Should be type BitmapData.", 2005);
}
Value draw(Vm& vm, const Value& v, Args a) {
    BitmapData& b = self(vm, v);
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bridge) return Value();
    BitmapDrawing how;
    if (arg(a, 1).object()) how.matrix = matrixOf(vm, a[1]);
    if (arg(a, 2).object()) how.cx = colorTransformOf(vm, a[2]);
    if (!arg(a, 3).isNullish())
        if (auto mode = blendModeByName(vm.toString(a[3]))) how.mode = *mode;
    if (arg(a, 4).object()) how.clip = pixelRect(vm, a[4]);
    how.smooth = kinolux::avm2::toBoolean(arg(a, 5));
    auto source = pixelsOf(arg(a, 0));
    drawIntoBitmap(b, bridge->player(), source.get(), source ? nullptr : DisplayBridge::displayOf(arg(a, 0)), how);
    return Value();
}
Value clone(Vm& vm, const Value& v, Args) {
    BitmapData& b = self(vm, v);
    auto* copy = static_cast<PixelsObject*>(makePixels(vm, vm.findClass(u"flash.display.BitmapData")));
    copy->pixels = std::make_shared<BitmapData>(b.image().copy());
    copy->pixels->setTransparent(b.transparent());
    return Value(static_cast<Object*>(copy));
}
Value dispose(Vm&, const Value& v, Args) {
    if (auto pixels = pixelsOf(v)) pixels->dispose();
    return Value();
}

// ---- Bitmap ----

BitmapObject* bitmapOf(const Value& v) {
    DisplayObject* d = DisplayBridge::displayOf(v);
    return dynamic_cast<BitmapObject*>(d);
}

Value setBitmapData(Vm&, const Value& v, Args a) {
    Object* o = v.object();
    if (!o) return Value();
    o->dynamic.set(String(u"__bitmapData"), arg(a, 0), false);
    if (BitmapObject* b = bitmapOf(v)) {
        auto* pixels = dynamic_cast<PixelsObject*>(arg(a, 0).object());
        b->setPixels(pixels ? pixels->pixels : nullptr);
    }
    return Value();
}
Value bitmapData(Vm& vm, const Value& v, Args) {
    Object* o = v.object();
    if (!o) return Value::null();
    if (const Value* held = o->dynamic.get(u"__bitmapData")) return *held;
    // A bitmap the timeline placed shows its character's pixels.
    DisplayObject* d = DisplayBridge::displayOf(v);
    if (!d || !d->character()) return Value::null();
    auto pixels = bitmapDataOfCharacter(*d->character());
    if (!pixels) return Value::null();
    auto* made = static_cast<PixelsObject*>(makePixels(vm, vm.findClass(u"flash.display.BitmapData")));
    made->pixels = std::move(pixels);
    o->dynamic.set(String(u"__bitmapData"), Value(static_cast<Object*>(made)), false);
    return Value(static_cast<Object*>(made));
}
Value bitmapInit(Vm& vm, const Value& v, Args a) {
    if (!arg(a, 0).isNullish()) setBitmapData(vm, v, a.subspan(0, 1));
    if (BitmapObject* b = bitmapOf(v)) b->smoothing = kinolux::avm2::toBoolean(arg(a, 2));
    return Value();
}

}  // namespace

Object* newBitmapDataObject(Vm& vm, std::shared_ptr<BitmapData> pixels) {
    auto* made = static_cast<PixelsObject*>(makePixels(vm, vm.findClass(u"flash.display.BitmapData")));
    made->pixels = std::move(pixels);
    return made;
}

std::shared_ptr<BitmapData> bitmapPixelsOf(const Value& v) {
    auto* o = dynamic_cast<PixelsObject*>(v.object());
    return o && o->pixels && o->pixels->valid() ? o->pixels : nullptr;
}

void installBitmapClasses(Vm& vm, Class* bitmap) {
    Class* data = vm.defineClass(u"flash.display", u"BitmapData", vm.findClass(u"Object"), makePixels);
    vm.defineConstructor(data, bitmapDataInit);
    const std::pair<const char16_t*, kinolux::avm2::NativeFunction> getters[] = {
        {u"width", width}, {u"height", height}, {u"transparent", transparent}, {u"rect", rect}};
    for (const auto& [name, fn] : getters) vm.defineGetter(data, name, fn);
    const std::pair<const char16_t*, kinolux::avm2::NativeFunction> methods[] = {
        {u"getPixel", getPixel},
        {u"getPixel32", getPixel32},
        {u"setPixel", setPixel},
        {u"setPixel32", setPixel32},
        {u"fillRect", fillRect},
        {u"floodFill", floodFill},
        {u"copyPixels", copyPixels},
        {u"copyChannel", copyChannel},
        {u"colorTransform", colorTransformMethod},
        {u"scroll", scroll},
        {u"noise", noise},
        {u"pixelDissolve", pixelDissolve},
        {u"getColorBoundsRect", getColorBoundsRect},
        {u"hitTest", hitTest},
        {u"threshold", threshold},
        {u"draw", draw},
        {u"drawWithQuality", draw},
        {u"clone", clone},
        {u"dispose", dispose},
        {u"lock", nothing},
        {u"unlock", nothing},
    };
    for (const auto& [name, fn] : methods) vm.defineTraitMethod(data, name, fn);
    vm.defineConstructor(bitmap, bitmapInit);
    vm.defineGetter(bitmap, u"bitmapData", bitmapData, setBitmapData);
    vm.defineGetter(bitmap, u"smoothing", flagGetter<bitmapOf, &BitmapObject::smoothing, false>,
                    flagSetter<bitmapOf, &BitmapObject::smoothing>);
    vm.defineGetter(bitmap, u"pixelSnapping", [](Vm&, const Value&, Args) { return Value(String(u"auto")); },
                    nothing);
}

}  // namespace flash
