#include "flash/avm1/player/bitmap_data_class.h"

#include "flash/avm1/builtins/geom.h"
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

// What a method answers when `this` is no live BitmapData, or when it is
// given fewer arguments than it needs: the player runs nothing then.
const Value kRefused(-1);

std::shared_ptr<BitmapData> self(const Value& thisValue) { return bitmapDataOf(thisValue); }

bool validSize(int swfVersion, int width, int height) {
    if (width < 1 || height < 1) return false;
    if (swfVersion <= 9) return width <= 2880 && height <= 2880;
    return width <= BitmapData::kMaxSide && height <= BitmapData::kMaxSide &&
           std::int64_t(width) * height <= BitmapData::kMaxPixels;
}

ObjectRef prototypeOf(Vm& vm) { return classPrototype(vm, Value(flashPackage(vm, u"display")), u"BitmapData"); }

Value wrap(Vm& vm, std::shared_ptr<BitmapData> pixels, Value proto) {
    return Value(ObjectRef(vm.heap().make<BitmapDataObject>(std::move(proto), std::move(pixels))));
}

std::uint32_t argbArg(Vm& vm, Args args, std::size_t i, std::uint32_t fallback) {
    return i < args.size() ? std::uint32_t(vm.toInt32(args[i])) : fallback;
}

// The player takes any object that has the properties of a rectangle or
// a point, whatever its class; a property that is missing makes it none.
bool hasProperties(Vm& vm, const Value& v, std::initializer_list<const char16_t*> names) {
    if (!v.isObject()) return false;
    const ObjectRef o = v.objectRef();
    for (const char16_t* name : names)
        if (vm.get(o, String(name)).isUndefined()) return false;
    return true;
}
bool isRectangle(Vm& vm, const Value& v) { return hasProperties(vm, v, {u"x", u"y", u"width", u"height"}); }
bool isPoint(Vm& vm, const Value& v) { return hasProperties(vm, v, {u"x", u"y"}); }
bool isBitmapDataObject(const Value& v) { return v.isObject() && dynamic_cast<BitmapDataObject*>(v.object()); }

// The kinds of argument the player checks before a method runs; a wrong
// one answers with the code that method gives the check.
enum class Needs : std::uint8_t { Anything, Bitmap, Rectangle, ColorTransform, Point };
struct ArgumentCheck {
    Needs needs = Needs::Anything;
    std::int8_t wrong = 0;     // not of that kind
    std::int8_t disposed = 0;  // a BitmapData, but disposed
};

int failedCheck(Vm& vm, const ArgumentCheck& check, const Value& v) {
    switch (check.needs) {
    case Needs::Anything: return 0;
    case Needs::Bitmap: return !isBitmapDataObject(v) ? check.wrong : bitmapDataOf(v) ? 0 : check.disposed;
    case Needs::Rectangle: return isRectangle(vm, v) ? 0 : check.wrong;
    case Needs::ColorTransform: return kinolux::avm1::builtins::thisTransform(v) ? 0 : check.wrong;
    case Needs::Point: return isPoint(vm, v) ? 0 : check.wrong;
    }
    return 0;
}

// A method's work, once its arguments have passed the checks.
using Operation = Value (*)(Vm&, BitmapData&, Args);

struct Method {
    std::u16string_view name;
    Operation run;
    std::uint8_t minArgs;
    // Only the first two arguments are ever checked.
    std::array<ArgumentCheck, 2> checks{};
};

constexpr ArgumentCheck kSourceBitmap{Needs::Bitmap, -2, -3};
constexpr ArgumentCheck kSourceRect{Needs::Rectangle, -4, 0};

Value getPixel(Vm& vm, BitmapData& b, Args args) {
    const int x = vm.toInt32(args[0]), y = vm.toInt32(args[1]);
    return Value(double(b.pixel32(x, y) & 0xFFFFFF));
}

Value getPixel32(Vm& vm, BitmapData& b, Args args) {
    const int x = vm.toInt32(args[0]), y = vm.toInt32(args[1]);
    return Value(double(std::int32_t(b.pixel32(x, y))));
}

Value setPixel(Vm& vm, BitmapData& b, Args args) {
    const int x = vm.toInt32(args[0]), y = vm.toInt32(args[1]);
    const std::uint32_t rgb = std::uint32_t(vm.toInt32(args[2])) & 0xFFFFFF;
    // The colour changes; the alpha there stays.
    const std::uint32_t alpha = b.transparent() ? b.pixel32(x, y) & 0xFF000000u : 0xFF000000u;
    b.setPixel32(x, y, alpha | rgb);
    return Value();
}

Value setPixel32(Vm& vm, BitmapData& b, Args args) {
    const int x = vm.toInt32(args[0]), y = vm.toInt32(args[1]);
    b.setPixel32(x, y, std::uint32_t(vm.toInt32(args[2])));
    return Value();
}

Value fillRect(Vm& vm, BitmapData& b, Args args) {
    const QRect rect = rectangleOf(vm, args[0]);
    pixels::fillRect(b, rect, std::uint32_t(vm.toInt32(args[1])));
    return Value(0);
}

Value floodFill(Vm& vm, BitmapData& b, Args args) {
    const int x = vm.toInt32(args[0]), y = vm.toInt32(args[1]);
    pixels::floodFill(b, x, y, std::uint32_t(vm.toInt32(args[2])));
    return Value();
}

Value clone(Vm& vm, BitmapData& b, Args) {
    auto copy = std::make_shared<BitmapData>(b.image().copy());
    copy->setTransparent(b.transparent());
    return wrap(vm, std::move(copy), Value(prototypeOf(vm)));
}

Value dispose(Vm&, BitmapData& b, Args) {
    b.dispose();
    return Value();
}

// The first three arguments of the methods that take pixels from another
// bitmap: that bitmap, the rectangle of it they take, and where it lands.
struct SourceArea {
    std::shared_ptr<BitmapData> source;
    QRect rect;
    QPoint at;
};

SourceArea sourceArea(Vm& vm, Args args) {
    return {bitmapDataOf(args[0]), rectangleOf(vm, args[1]), pointOf(vm, args[2])};
}

Value copyPixels(Vm& vm, BitmapData& b, Args args) {
    const auto [source, rect, at] = sourceArea(vm, args);
    auto alpha = bitmapDataOf(arg(args, 3));
    const QPoint alphaPoint = args.size() > 4 ? pointOf(vm, args[4]) : QPoint();
    const bool mergeAlpha = vm.toBoolean(arg(args, 5));
    pixels::copyPixels(b, *source, rect, at, alpha.get(), alphaPoint, mergeAlpha);
    return Value();
}

Value copyChannel(Vm& vm, BitmapData& b, Args args) {
    const auto [source, rect, at] = sourceArea(vm, args);
    const int from = vm.toInt32(args[3]), to = vm.toInt32(args[4]);
    pixels::copyChannel(b, *source, rect, at, from, to);
    return kRefused;
}

Value colorTransform(Vm& vm, BitmapData& b, Args args) {
    const QRect rect = rectangleOf(vm, args[0]);
    pixels::colorTransform(b, rect, colorTransformOf(vm, args[1]));
    return kRefused;
}

// Numbers outside a channel's range count as its nearest end.
int channelLevel(Vm& vm, Args args, std::size_t i, int fallback) {
    return i < args.size() ? std::clamp(vm.toInt32(args[i]), 0, 255) : fallback;
}

Value noise(Vm& vm, BitmapData& b, Args args) {
    const std::int32_t seed = vm.toInt32(args[0]);
    const int low = channelLevel(vm, args, 1, 0), high = channelLevel(vm, args, 2, 255);
    const int channels = args.size() > 3 ? vm.toInt32(args[3]) & 15 : 7;
    pixels::noise(b, seed, low, high, channels, vm.toBoolean(arg(args, 4)));
    return Value(0);
}

Value perlinNoise(Vm& vm, BitmapData& b, Args args) {
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
    const std::int32_t seed = vm.toInt32(args[3]);
    const bool stitch = vm.toBoolean(args[4]), fractal = vm.toBoolean(args[5]);
    const int channels = args.size() > 6 ? vm.toInt32(args[6]) & 15 : 7;
    pixels::perlinNoise(b, std::isfinite(baseX) ? baseX : 0, std::isfinite(baseY) ? baseY : 0, octaves, seed, stitch,
                        fractal, channels, vm.toBoolean(arg(args, 7)), offsets);
    return Value();
}

Value pixelDissolve(Vm& vm, BitmapData& b, Args args) {
    const auto [source, rect, at] = sourceArea(vm, args);
    const std::int32_t seed = vm.toInt32(args[3]), count = vm.toInt32(args[4]);
    const std::uint32_t fill = argbArg(vm, args, 5, 0);
    return Value(pixels::pixelDissolve(b, *source, rect, at, seed, count, fill));
}

Value threshold(Vm& vm, BitmapData& b, Args args) {
    const auto [source, rect, at] = sourceArea(vm, args);
    const auto comparison = pixels::comparisonNamed(vm.toString(args[3]).view());
    if (!comparison) return Value(0);
    const std::uint32_t limit = std::uint32_t(vm.toInt32(args[4]));
    const std::uint32_t color = argbArg(vm, args, 5, 0), mask = argbArg(vm, args, 6, 0xFFFFFFFFu);
    const bool copySource = vm.toBoolean(arg(args, 7));
    return Value(double(pixels::threshold(b, *source, rect, at, *comparison, limit, color, mask, copySource)));
}

Value scroll(Vm& vm, BitmapData& b, Args args) {
    const int dx = vm.toInt32(args[0]), dy = vm.toInt32(args[1]);
    pixels::scroll(b, dx, dy);
    return Value(0);
}

Value merge(Vm& vm, BitmapData& b, Args args) {
    const auto [source, rect, at] = sourceArea(vm, args);
    // Without an alpha multiplier the source's alpha is taken whole.
    int multipliers[4] = {0, 0, 0, 256};
    for (std::size_t i = 0; i < 4 && 3 + i < args.size(); ++i) multipliers[i] = vm.toInt32(args[3 + i]);
    pixels::merge(b, *source, rect, at, multipliers[0], multipliers[1], multipliers[2], multipliers[3]);
    return kRefused;
}

Value paletteMap(Vm& vm, BitmapData& b, Args args) {
    const auto [source, rect, at] = sourceArea(vm, args);
    std::array<std::array<std::uint32_t, 256>, 4> maps{};
    const int shifts[4] = {16, 8, 0, 24};
    for (std::size_t c = 0; c < 4; ++c) {
        ObjectRef list = arg(args, 3 + c).isObject() ? args[3 + c].objectRef() : nullptr;
        for (std::uint32_t i = 0; i < 256; ++i)
            maps[c][i] = list ? std::uint32_t(vm.toInt32(vm.get(list, vm.indexName(i)))) : i << shifts[c];
    }
    pixels::paletteMap(b, *source, rect, at, maps);
    return Value();
}

Value compare(Vm& vm, BitmapData& b, Args args) {
    auto other = bitmapDataOf(args[0]);
    if (other->width() != b.width()) return Value(-3);
    if (other->height() != b.height()) return Value(-4);
    auto diff = pixels::compare(b, *other);
    if (!diff) return Value(0);
    return wrap(vm, std::make_shared<BitmapData>(std::move(*diff)), Value(prototypeOf(vm)));
}

Value getColorBoundsRect(Vm& vm, BitmapData& b, Args args) {
    const std::uint32_t mask = std::uint32_t(vm.toInt32(args[0])), color = std::uint32_t(vm.toInt32(args[1]));
    const bool findColor = args.size() < 3 || vm.toBoolean(args[2]);
    const QRect r = pixels::colorBoundsRect(b, mask, color, findColor);
    return makeRectangle(vm, r.x(), r.y(), r.width(), r.height());
}

// The third argument says what is tested: another bitmap (then placed by
// a fourth), a rectangle or a point; anything else answers -3.
Value hitTest(Vm& vm, BitmapData& b, Args args) {
    const QPoint at = pointOf(vm, args[0]);
    const int threshold = vm.toInt32(args[1]);
    const Value& test = args[2];
    if (isBitmapDataObject(test)) {
        auto other = bitmapDataOf(test);
        if (!other) return Value(-3);
        if (args.size() > 3 && !isPoint(vm, args[3])) return Value(-4);
        const QPoint otherAt = args.size() > 3 ? pointOf(vm, args[3]) : QPoint();
        const int otherThreshold = args.size() > 4 ? vm.toInt32(args[4]) : 1;
        return Value(pixels::hitTestBitmap(b, at, threshold, *other, otherAt, otherThreshold));
    }
    if (isRectangle(vm, test)) return Value(pixels::hitTestRect(b, threshold, rectangleOf(vm, test).translated(-at)));
    if (isPoint(vm, test)) return Value(pixels::hitTestPoint(b, threshold, pointOf(vm, test) - at));
    return Value(-3);
}

Value draw(Vm& vm, BitmapData& b, Args args) {
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
    drawIntoBitmap(b, player, source.get(), source ? nullptr : displayObjectOf(vm.bindingOf(args[0])),
                   {matrix, cx, mode, clip, smooth});
    return Value();
}

Value applyFilter(Vm& vm, BitmapData& b, Args args) {
    auto source = bitmapDataOf(args[0]);
    auto filter = filterOf(args[3]);
    if (!source || !filter) return kRefused;
    const QRect sourceRect = rectangleOf(vm, args[1]) & QRect(0, 0, source->width(), source->height());
    const QPoint at = pointOf(vm, args[2]);
    if (sourceRect.isEmpty()) return Value(0);
    applyFilterToBitmap(b, playerOf(vm), *source, sourceRect, at, *filter);
    return Value(0);
}

Value generateFilterRect(Vm& vm, BitmapData&, Args args) {
    QRect r = rectangleOf(vm, args[0]);
    if (auto filter = filterOf(args[1])) r = filterBounds(r, *filter);
    return makeRectangle(vm, r.x(), r.y(), r.width(), r.height());
}

// Every method, with how many arguments it needs and what it checks them
// for, as the player answers scripts that get them wrong.
constexpr Method kMethods[] = {
    {u"getPixel", getPixel, 2},
    {u"getPixel32", getPixel32, 2},
    {u"setPixel", setPixel, 3},
    {u"setPixel32", setPixel32, 3},
    {u"fillRect", fillRect, 2, {{{Needs::Rectangle, -1, 0}}}},
    {u"floodFill", floodFill, 3},
    {u"clone", clone, 0},
    {u"dispose", dispose, 0},
    {u"copyPixels", copyPixels, 3, {kSourceBitmap, kSourceRect}},
    {u"copyChannel", copyChannel, 5, {kSourceBitmap, kSourceRect}},
    {u"colorTransform", colorTransform, 2, {{{Needs::Rectangle, -2, 0}, {Needs::ColorTransform, -3, 0}}}},
    {u"noise", noise, 1},
    {u"perlinNoise", perlinNoise, 6},
    {u"pixelDissolve", pixelDissolve, 5, {kSourceBitmap, kSourceRect}},
    {u"threshold", threshold, 5, {kSourceBitmap, kSourceRect}},
    {u"scroll", scroll, 2},
    {u"merge", merge, 6, {kSourceBitmap, kSourceRect}},
    {u"paletteMap", paletteMap, 3, {kSourceBitmap, kSourceRect}},
    {u"compare", compare, 1, {{{Needs::Bitmap, -2, -2}}}},
    {u"getColorBoundsRect", getColorBoundsRect, 2},
    {u"hitTest", hitTest, 3, {{{Needs::Point, -2, 0}}}},
    {u"draw", draw, 1},
    {u"applyFilter", applyFilter, 4},
    {u"generateFilterRect", generateFilterRect, 2},
};

template <std::size_t I>
Value checkedCall(Vm& vm, const Value& thisValue, Args args) {
    constexpr const Method& method = kMethods[I];
    auto b = self(thisValue);
    if (!b || args.size() < method.minArgs) return kRefused;
    for (std::size_t i = 0; i < method.checks.size(); ++i)
        if (const int code = failedCheck(vm, method.checks[i], arg(args, i))) return Value(code);
    // Holding the pixels keeps them alive should a script dispose of the
    // bitmap while its arguments convert.
    return method.run(vm, *b, args);
}

template <std::size_t... I>
void defineMethods(Vm& vm, kinolux::avm1::Object& proto, std::index_sequence<I...>) {
    (vm.defineMethod(proto, kMethods[I].name, checkedCall<I>), ...);
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
    return b ? Value(b->width()) : kRefused;
}
Value height(Vm&, const Value& thisValue, Args) {
    auto b = self(thisValue);
    return b ? Value(b->height()) : kRefused;
}
Value transparent(Vm&, const Value& thisValue, Args) {
    auto b = self(thisValue);
    return b ? Value(b->transparent()) : kRefused;
}
Value rectangle(Vm& vm, const Value& thisValue, Args) {
    auto b = self(thisValue);
    return b ? makeRectangle(vm, 0, 0, b->width(), b->height()) : kRefused;
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
    // The player lists these properties to for..in.
    const std::uint16_t listed = kinolux::avm1::PropertyFlag::DontDelete;
    vm.defineProperty(p, u"width", width, nullptr, listed);
    vm.defineProperty(p, u"height", height, nullptr, listed);
    vm.defineProperty(p, u"transparent", transparent, nullptr, listed);
    vm.defineProperty(p, u"rectangle", rectangle, nullptr, listed);
    defineMethods(vm, p, std::make_index_sequence<std::size(kMethods)>());
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
