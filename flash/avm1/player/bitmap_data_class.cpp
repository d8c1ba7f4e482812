#include "flash/avm1/player/bitmap_data_class.h"

#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/player/filter_classes.h"
#include "flash/avm1/player/object_binding.h"
#include "flash/avm1/player/script_values.h"
#include "flash/core/bitmap_decoder.h"
#include "flash/core/bitmap_operations.h"
#include "flash/core/player.h"
#include "flash/core/render_services.h"

namespace flash {

using kinolux::avm1::Args;
using kinolux::avm1::ObjectRef;
using kinolux::avm1::String;
using kinolux::avm1::Value;
using kinolux::avm1::Vm;
using kinolux::avm1::builtins::arg;

namespace {

// What the methods answer when `this` is no BitmapData or is disposed.
const Value kInvalid(-1);

std::shared_ptr<BitmapData> self(const Value& thisValue) { return bitmapDataOf(thisValue); }

bool validSize(int swfVersion, int width, int height) {
    if (width < 1 || height < 1) return false;
    if (swfVersion <= 9) return width <= 2880 && height <= 2880;
    return width <= BitmapData::kMaxSide && height <= BitmapData::kMaxSide &&
           std::int64_t(width) * height <= BitmapData::kMaxPixels;
}

ObjectRef prototypeOf(Vm& vm) {
    Value ctor = vm.get(Value(flashPackage(vm, u"display")), String(u"BitmapData"));
    return vm.toObject(vm.get(ctor, String(u"prototype")));
}

Value wrap(Vm& vm, std::shared_ptr<BitmapData> pixels, Value proto) {
    return Value(ObjectRef(vm.heap().make<BitmapDataObject>(std::move(proto), std::move(pixels))));
}

std::uint32_t argbArg(Vm& vm, Args args, std::size_t i, std::uint32_t fallback) {
    return i < args.size() ? std::uint32_t(vm.toInt32(args[i])) : fallback;
}

Value construct(Vm& vm, const Value& thisValue, Args args) {
    const int width = vm.toInt32(arg(args, 0)), height = vm.toInt32(arg(args, 1));
    const bool transparent = args.size() < 3 || vm.toBoolean(args[2]);
    const std::uint32_t fill = argbArg(vm, args, 3, 0xFFFFFFFFu);
    if (!validSize(vm.swfVersion(), width, height)) return Value();
    Value proto = thisValue.isObject() ? thisValue.object()->protoValue() : Value(prototypeOf(vm));
    return wrap(vm, std::make_shared<BitmapData>(width, height, transparent, fill), proto);
}

Value width(Vm&, const Value& thisValue, Args) {
    auto b = self(thisValue);
    return b ? Value(b->width()) : kInvalid;
}
Value height(Vm&, const Value& thisValue, Args) {
    auto b = self(thisValue);
    return b ? Value(b->height()) : kInvalid;
}
Value transparent(Vm&, const Value& thisValue, Args) {
    auto b = self(thisValue);
    return b ? Value(b->transparent()) : kInvalid;
}
Value rectangle(Vm& vm, const Value& thisValue, Args) {
    auto b = self(thisValue);
    return b ? makeRectangle(vm, 0, 0, b->width(), b->height()) : kInvalid;
}

Value getPixel(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b || args.size() < 2) return kInvalid;
    return Value(double(b->pixel32(vm.toInt32(args[0]), vm.toInt32(args[1])) & 0xFFFFFF));
}

Value getPixel32(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b || args.size() < 2) return kInvalid;
    return Value(double(std::int32_t(b->pixel32(vm.toInt32(args[0]), vm.toInt32(args[1])))));
}

Value setPixel(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() < 3) return Value();
    const int x = vm.toInt32(args[0]), y = vm.toInt32(args[1]);
    const std::uint32_t rgb = std::uint32_t(vm.toInt32(args[2])) & 0xFFFFFF;
    // The colour changes; the alpha there stays.
    const std::uint32_t alpha = b->transparent() ? b->pixel32(x, y) & 0xFF000000u : 0xFF000000u;
    b->setPixel32(x, y, alpha | rgb);
    return Value();
}

Value setPixel32(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() >= 3) b->setPixel32(vm.toInt32(args[0]), vm.toInt32(args[1]), std::uint32_t(vm.toInt32(args[2])));
    return Value();
}

Value fillRect(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() >= 2) pixels::fillRect(*b, rectangleOf(vm, args[0]), std::uint32_t(vm.toInt32(args[1])));
    return Value();
}

Value floodFill(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() >= 3) pixels::floodFill(*b, vm.toInt32(args[0]), vm.toInt32(args[1]), std::uint32_t(vm.toInt32(args[2])));
    return Value();
}

Value clone(Vm& vm, const Value& thisValue, Args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    auto copy = std::make_shared<BitmapData>(b->image().copy());
    copy->setTransparent(b->transparent());
    return wrap(vm, std::move(copy), Value(prototypeOf(vm)));
}

Value dispose(Vm&, const Value& thisValue, Args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    b->dispose();
    return Value();
}

Value copyPixels(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    auto source = bitmapDataOf(arg(args, 0));
    if (!source || args.size() < 3) return Value();
    auto alpha = bitmapDataOf(arg(args, 3));
    QPoint alphaPoint = args.size() > 4 ? pointOf(vm, args[4]) : QPoint();
    pixels::copyPixels(*b, *source, rectangleOf(vm, args[1]), pointOf(vm, args[2]), alpha.get(), alphaPoint,
                       vm.toBoolean(arg(args, 5)));
    return Value();
}

Value copyChannel(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    auto source = bitmapDataOf(arg(args, 0));
    if (!source || args.size() < 5) return Value();
    pixels::copyChannel(*b, *source, rectangleOf(vm, args[1]), pointOf(vm, args[2]), vm.toInt32(args[3]), vm.toInt32(args[4]));
    return Value();
}

Value colorTransform(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() >= 2) pixels::colorTransform(*b, rectangleOf(vm, args[0]), colorTransformOf(vm, args[1]));
    return Value();
}

Value noise(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.empty()) return Value();
    const int low = args.size() > 1 ? int(std::uint8_t(vm.toInt32(args[1]))) : 0;
    const int high = args.size() > 2 ? int(std::uint8_t(vm.toInt32(args[2]))) : 255;
    const int channels = args.size() > 3 ? vm.toInt32(args[3]) & 15 : 7;
    pixels::noise(*b, vm.toInt32(args[0]), low, high, channels, vm.toBoolean(arg(args, 4)));
    return Value();
}

Value perlinNoise(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() < 6) return Value();
    // Each octave adds at most half what the one before did: past the tenth
    // none moves a pixel by a level, so more only cost time.
    const int octaves = std::clamp(vm.toInt32(args[2]), 0, 10);
    std::vector<QPointF> offsets(static_cast<std::size_t>(octaves));
    if (ObjectRef list = arg(args, 8).isObject() ? args[8].objectRef() : nullptr) {
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            ObjectRef point = vm.toObject(vm.get(list, vm.indexName(std::uint32_t(i))));
            if (!point) continue;
            offsets[i] = QPointF(vm.toNumber(vm.get(point, String(u"x"))), vm.toNumber(vm.get(point, String(u"y"))));
            if (!std::isfinite(offsets[i].x())) offsets[i].setX(0);
            if (!std::isfinite(offsets[i].y())) offsets[i].setY(0);
        }
    }
    const double baseX = vm.toNumber(args[0]), baseY = vm.toNumber(args[1]);
    pixels::perlinNoise(*b, std::isfinite(baseX) ? baseX : 0, std::isfinite(baseY) ? baseY : 0, octaves,
                        vm.toInt32(args[3]), vm.toBoolean(args[4]), vm.toBoolean(args[5]),
                        args.size() > 6 ? vm.toInt32(args[6]) & 15 : 7, vm.toBoolean(arg(args, 7)), offsets);
    return Value();
}

Value pixelDissolve(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    auto source = bitmapDataOf(arg(args, 0));
    if (!source || args.size() < 3) return Value(0);
    return Value(pixels::pixelDissolve(*b, *source, rectangleOf(vm, args[1]), pointOf(vm, args[2]), vm.toInt32(arg(args, 3)),
                                       vm.toInt32(arg(args, 4)), argbArg(vm, args, 5, 0)));
}

Value threshold(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    auto source = bitmapDataOf(arg(args, 0));
    if (!source || args.size() < 5) return Value(0);
    const String op = vm.toString(args[3]);
    pixels::Comparison comparison;
    if (op == u"<") comparison = pixels::Comparison::Less;
    else if (op == u"<=") comparison = pixels::Comparison::LessOrEqual;
    else if (op == u">") comparison = pixels::Comparison::Greater;
    else if (op == u">=") comparison = pixels::Comparison::GreaterOrEqual;
    else if (op == u"==") comparison = pixels::Comparison::Equal;
    else if (op == u"!=") comparison = pixels::Comparison::NotEqual;
    else return Value(0);
    return Value(double(pixels::threshold(*b, *source, rectangleOf(vm, args[1]), pointOf(vm, args[2]), comparison,
                                          std::uint32_t(vm.toInt32(args[4])), argbArg(vm, args, 5, 0),
                                          argbArg(vm, args, 6, 0xFFFFFFFFu), vm.toBoolean(arg(args, 7)))));
}

Value scroll(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() >= 2) pixels::scroll(*b, vm.toInt32(args[0]), vm.toInt32(args[1]));
    return Value();
}

Value merge(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    auto source = bitmapDataOf(arg(args, 0));
    if (!source || args.size() < 7) return Value();
    pixels::merge(*b, *source, rectangleOf(vm, args[1]), pointOf(vm, args[2]), vm.toInt32(args[3]), vm.toInt32(args[4]),
                  vm.toInt32(args[5]), vm.toInt32(args[6]));
    return Value();
}

Value paletteMap(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    auto source = bitmapDataOf(arg(args, 0));
    if (!source || args.size() < 3) return Value();
    std::array<std::array<std::uint32_t, 256>, 4> maps{};
    const int shifts[4] = {16, 8, 0, 24};
    for (std::size_t c = 0; c < 4; ++c) {
        ObjectRef list = arg(args, 3 + c).isObject() ? args[3 + c].objectRef() : nullptr;
        for (std::uint32_t i = 0; i < 256; ++i)
            maps[c][i] = list ? std::uint32_t(vm.toInt32(vm.get(list, vm.indexName(i)))) : i << shifts[c];
    }
    pixels::paletteMap(*b, *source, rectangleOf(vm, args[1]), pointOf(vm, args[2]), maps);
    return Value();
}

Value compare(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return Value(-2);
    auto other = bitmapDataOf(arg(args, 0));
    if (!other) return Value(-1);
    if (other->width() != b->width()) return Value(-3);
    if (other->height() != b->height()) return Value(-4);
    auto diff = pixels::compare(*b, *other);
    if (!diff) return Value(0);
    return wrap(vm, std::make_shared<BitmapData>(std::move(*diff)), Value(prototypeOf(vm)));
}

Value getColorBoundsRect(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() < 2) return Value();
    QRect r = pixels::colorBoundsRect(*b, std::uint32_t(vm.toInt32(args[0])), std::uint32_t(vm.toInt32(args[1])),
                                      args.size() < 3 || vm.toBoolean(args[2]));
    return makeRectangle(vm, r.x(), r.y(), r.width(), r.height());
}

Value hitTest(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.size() < 3) return Value(false);
    const QPoint at = pointOf(vm, args[0]);
    const int threshold = vm.toInt32(args[1]) & 0xFF;
    const Value& test = args[2];
    if (auto other = bitmapDataOf(test)) {
        QPoint otherAt = args.size() > 3 ? pointOf(vm, args[3]) : QPoint();
        int otherThreshold = args.size() > 4 ? vm.toInt32(args[4]) & 0xFF : 1;
        return Value(pixels::hitTestBitmap(*b, at, threshold, *other, otherAt, otherThreshold));
    }
    ObjectRef o = vm.toObject(test);
    if (!o) return Value(false);
    if (!vm.get(o, String(u"width")).isUndefined()) {
        QRect r = rectangleOf(vm, test);
        return Value(pixels::hitTestRect(*b, threshold, r.translated(-at)));
    }
    return Value(pixels::hitTestPoint(*b, threshold, pointOf(vm, test) - at));
}

Value draw(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    if (args.empty()) return Value();
    Player& player = playerOf(vm);
    const QTransform matrix = args.size() > 1 && args[1].isObject() ? matrixOf(vm, args[1]) : QTransform();
    const ColorTransform cx = args.size() > 2 && args[2].isObject() ? colorTransformOf(vm, args[2]) : ColorTransform{};
    swf::BlendMode mode = swf::BlendMode::Normal;
    if (args.size() > 3 && !args[3].isNullish()) {
        if (auto m = blendModeByName(vm.toString(args[3]))) mode = *m;
    }
    std::optional<QRect> clip;
    if (args.size() > 4 && args[4].isObject()) clip = rectangleOf(vm, args[4]);
    const bool smooth = vm.toBoolean(arg(args, 5));
    auto source = bitmapDataOf(args[0]);
    drawIntoBitmap(*b, player, source.get(), source ? nullptr : displayObjectOf(vm.bindingOf(args[0])),
                   {matrix, cx, mode, clip, smooth});
    return Value();
}

Value applyFilter(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    auto source = bitmapDataOf(arg(args, 0));
    auto filter = filterOf(arg(args, 3));
    if (!source || args.size() < 4 || !filter) return Value(-1);
    const QRect sourceRect = rectangleOf(vm, args[1]) & QRect(0, 0, source->width(), source->height());
    if (sourceRect.isEmpty()) return Value(0);
    applyFilterToBitmap(*b, playerOf(vm), *source, sourceRect, pointOf(vm, args[2]), *filter);
    return Value(0);
}

Value generateFilterRect(Vm& vm, const Value& thisValue, Args args) {
    auto b = self(thisValue);
    if (!b) return kInvalid;
    QRect r = rectangleOf(vm, arg(args, 0));
    if (auto filter = filterOf(arg(args, 1))) r = filterBounds(r, *filter);
    return makeRectangle(vm, r.x(), r.y(), r.width(), r.height());
}

Value loadBitmap(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value();
    const Character* c = playerOf(vm).library().exported(vm.toString(args[0]));
    if (!c || c->kind != CharacterKind::Bitmap) return Value();
    auto pixels = bitmapDataOfCharacter(*c);
    if (!pixels) return Value();
    return wrap(vm, std::move(pixels), Value(prototypeOf(vm)));
}

}  // namespace

std::shared_ptr<BitmapData> bitmapDataOf(const Value& v) {
    if (!v.isObject()) return nullptr;
    auto* object = dynamic_cast<BitmapDataObject*>(v.object());
    if (!object || !object->pixels() || !object->pixels()->valid()) return nullptr;
    return object->pixels();
}

void installBitmapDataClass(Vm& vm) {
    using kinolux::avm1::builtins::defineClass;
    ObjectRef proto = vm.newObject();
    defineClass(vm, *flashPackage(vm, u"display"), u"BitmapData", construct, construct, proto);
    Value ctor = vm.get(Value(flashPackage(vm, u"display")), String(u"BitmapData"));
    kinolux::avm1::Object& p = *proto;
    vm.defineProperty(p, u"width", width, nullptr);
    vm.defineProperty(p, u"height", height, nullptr);
    vm.defineProperty(p, u"transparent", transparent, nullptr);
    vm.defineProperty(p, u"rectangle", rectangle, nullptr);
    const std::pair<std::u16string_view, kinolux::avm1::NativeFunction> methods[] = {
        {u"getPixel", getPixel},       {u"getPixel32", getPixel32},
        {u"setPixel", setPixel},       {u"setPixel32", setPixel32},
        {u"fillRect", fillRect},       {u"floodFill", floodFill},
        {u"clone", clone},             {u"dispose", dispose},
        {u"copyPixels", copyPixels},   {u"copyChannel", copyChannel},
        {u"colorTransform", colorTransform}, {u"noise", noise},
        {u"perlinNoise", perlinNoise}, {u"pixelDissolve", pixelDissolve},
        {u"threshold", threshold},     {u"scroll", scroll},
        {u"merge", merge},             {u"paletteMap", paletteMap},
        {u"compare", compare},         {u"getColorBoundsRect", getColorBoundsRect},
        {u"hitTest", hitTest},         {u"draw", draw},
        {u"applyFilter", applyFilter}, {u"generateFilterRect", generateFilterRect},
    };
    for (const auto& [name, fn] : methods) vm.defineMethod(p, name, fn);
    if (ObjectRef c = vm.toObject(ctor)) {
        vm.defineMethod(*c, u"loadBitmap", loadBitmap);
        // The channel numbers, as plain properties scripts may change.
        const std::pair<std::u16string_view, int> channels[] = {
            {u"RED_CHANNEL", 1}, {u"GREEN_CHANNEL", 2}, {u"BLUE_CHANNEL", 4}, {u"ALPHA_CHANNEL", 8}};
        for (const auto& [name, bit] : channels) c->defineValue(String(name), Value(bit), 0);
    }
}

void drawIntoBitmap(BitmapData& target, Player& player, const BitmapData* source, const DisplayObject* object,
                    const BitmapDrawing& how) {
    RenderServices* services = player.renderServices();
    if (!services) return;
    if (source) {
        const QImage copy = source->image().copy();
        services->drawImage(target.image(), copy, how.matrix, how.cx, how.mode, how.clip, how.smooth);
    } else if (object) {
        services->draw(target.image(), player, *object, QTransform::fromScale(1 / 20.0, 1 / 20.0) * how.matrix, how.cx,
                       how.mode, how.clip, how.smooth);
    }
    if (!target.transparent()) {
        QImage& image = target.image();
        for (int y = 0; y < image.height(); ++y) {
            auto* r = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) r[x] |= 0xFF000000u;
        }
    }
}

void applyFilterToBitmap(BitmapData& target, Player& player, const BitmapData& source, QRect sourceRect,
                         QPoint destPoint, const swf::Filter& filter) {
    sourceRect &= QRect(0, 0, source.width(), source.height());
    if (sourceRect.isEmpty()) return;
    QImage area = source.image().copy(sourceRect);
    if (RenderServices* services = player.renderServices()) services->filter(area, filter);
    QImage& image = target.image();
    for (int y = 0; y < area.height(); ++y) {
        const int ty = destPoint.y() + y;
        if (ty < 0 || ty >= image.height()) continue;
        const auto* from = reinterpret_cast<const std::uint32_t*>(area.constScanLine(y));
        auto* to = reinterpret_cast<std::uint32_t*>(image.scanLine(ty));
        for (int x = 0; x < area.width(); ++x) {
            const int tx = destPoint.x() + x;
            if (tx >= 0 && tx < image.width()) to[tx] = target.transparent() ? from[x] : (from[x] | 0xFF000000u);
        }
    }
}

}  // namespace flash
