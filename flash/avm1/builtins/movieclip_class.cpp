// MovieClip: thin methods over MovieClipBinding.
#include <algorithm>
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/interpreter.h"
#include "flash/avm1/timeline_actions.h"

namespace kinolux::avm1::builtins {

namespace {

// Depths scripts may create objects at.
constexpr double kMinScriptDepth = -16384, kMaxScriptDepth = 2130690044;

bool validDepth(double depth) { return depth >= kMinScriptDepth && depth <= kMaxScriptDepth; }

Value objectOf(Vm& vm, DisplayObjectBinding* binding) {
    return binding ? Value(vm.scriptObjectOf(*binding)) : Value();
}

// The player draws in whole twips held in 32 bits: NaN is 0 and the rest
// is kept in range, so the display side only ever sees finite positions.
// A number kept in [lo, hi], NaN becoming `nan`, for values the display
// side takes as given (alpha, ratios, limits).
double within(double v, double lo, double hi, double nan) { return std::isnan(v) ? nan : std::clamp(v, lo, hi); }

double drawingCoordinate(Vm& vm, const Value& v) {
    constexpr double kLimit = 2147483647.0 / 20;
    double n = vm.toNumber(v);
    if (std::isnan(n)) return 0;
    return std::clamp(n, -kLimit, kLimit);
}

HttpMethod methodArg(Vm& vm, Args args, std::size_t i) {
    if (i >= args.size()) return HttpMethod::None;
    String m = vm.toString(args[i]);
    if (m.equalsIgnoreCase(u"GET")) return HttpMethod::Get;
    if (m.equalsIgnoreCase(u"POST")) return HttpMethod::Post;
    return HttpMethod::None;
}

#define CLIP_OR_RETURN(value)                              \
    MovieClipBinding* clip = thisMovieClip(vm, thisValue); \
    if (!clip) return value

// play, stop, clear and the others that take no arguments and answer nothing.
template <auto Command>
Value clipCommand(Vm& vm, const Value& thisValue, Args) {
    CLIP_OR_RETURN(Value());
    (clip->*Command)();
    return Value();
}

// gotoAndPlay and gotoAndStop.
template <bool Play>
Value gotoAnd(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (!args.empty()) gotoFrameValue(vm, *clip, args[0], Play, 0);
    return Value();
}

// nextScene and prevScene: the first frame of the scene `Step` away, playing.
template <int Step>
Value gotoScene(Vm& vm, const Value& thisValue, Args) {
    CLIP_OR_RETURN(Value());
    if (auto frame = clip->sceneStart(Step)) clip->gotoFrame(*frame, true);
    return Value();
}

Value createEmptyMovieClip(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (args.size() < 2) return Value();
    std::int32_t depth = vm.toInt32(args[1]);
    if (!validDepth(depth)) return Value();
    return objectOf(vm, clip->createEmptyMovieClip(vm.toString(args[0]), depth));
}

Value attachMovie(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (args.size() < 3) return Value();
    ObjectRef init = arg(args, 3).isObject() ? args[3].objectRef() : nullptr;
    std::int32_t depth = vm.toInt32(args[2]);
    if (!validDepth(depth)) return Value();
    return objectOf(vm, clip->attachMovie(vm.toString(args[0]), vm.toString(args[1]), depth, init));
}

Value duplicateMovieClip(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (args.size() < 2 || !clip->parent()) return Value();
    ObjectRef init = arg(args, 2).isObject() ? args[2].objectRef() : nullptr;
    std::int32_t depth = vm.toInt32(args[1]);
    if (!validDepth(depth)) return Value();
    return objectOf(vm, clip->duplicate(vm.toString(args[0]), depth, init));
}

Value createTextField(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (args.size() < 6) return Value();
    DisplayObjectBinding* field = clip->createTextField(
        vm.toString(args[0]), vm.toInt32(args[1]), vm.toNumber(args[2]), vm.toNumber(args[3]),
        vm.toNumber(args[4]), vm.toNumber(args[5]));
    return vm.swfVersion() >= 8 ? objectOf(vm, field) : Value();
}

Value removeSelf(Vm& vm, const Value& thisValue, Args) {
    if (DisplayObjectBinding* object = thisDisplayObject(vm, thisValue)) removeByScript(*object);
    return Value();
}

// The clip a swapDepths argument names: the object itself, or a path read
// from the clip that swaps.
DisplayObjectBinding* siblingNamed(Vm& vm, DisplayObjectBinding& self, const Value& target) {
    if (DisplayObjectBinding* binding = vm.bindingOf(target)) return binding;
    const String path = vm.toString(target);
    if (path.empty()) return nullptr;
    ObjectRef found = resolveTargetPath(vm, *vm.rootOf(self), vm.scriptObjectOf(self), path.view(), false);
    return found ? vm.bindingOf(found.get()) : nullptr;
}

Value swapDepths(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self || args.empty()) return Value();
    if (args[0].isNumber()) {
        // Depths outside the range scripts may use leave the clip where it is.
        const std::int32_t depth = vm.toInt32(args[0]);
        if (validDepth(depth)) self->swapDepths(depth);
    } else if (DisplayObjectBinding* other = siblingNamed(vm, *self, args[0])) {
        if (other->parent() == self->parent()) self->swapDepths(other->depth());
    }
    return Value();
}

// A level's root sits at -16384 plus the level number.
Value getDepth(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self) return Value();
    if (std::optional<int> level = self->levelNumber()) return Value(-16384 + *level);
    return Value(self->depth());
}

Value getNextHighestDepth(Vm& vm, const Value& thisValue, Args) {
    CLIP_OR_RETURN(Value());
    return Value(clip->nextHighestDepth());
}

Value getInstanceAtDepth(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (args.empty()) return Value();
    DisplayObjectBinding* child = clip->childAtDepth(vm.toInt32(args[0]));
    // A shape has no script object of its own: its clip answers for it.
    if (child && child->kind() == DisplayKind::Other) return thisValue;
    return objectOf(vm, child);
}

Value getBounds(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self) return Value();
    DisplayObjectBinding* space = args.empty() ? self : vm.resolveTarget(args[0], false);
    if (!space) return Value();
    Bounds b = self->bounds(space);
    ObjectRef out = vm.newObject();
    vm.set(out, String(u"xMin"), Value(b.xMin));
    vm.set(out, String(u"xMax"), Value(b.xMax));
    vm.set(out, String(u"yMin"), Value(b.yMin));
    vm.set(out, String(u"yMax"), Value(b.yMax));
    return Value(out);
}

Value hitTest(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self || args.empty()) return Value(false);
    if (args.size() >= 2) {
        double x = vm.toNumber(args[0]);
        double y = vm.toNumber(args[1]);
        if (std::isnan(x) || std::isnan(y)) return Value(false);
        return Value(self->hitTestPoint(x, y, vm.toBoolean(arg(args, 2))));
    }
    DisplayObjectBinding* other = vm.resolveTarget(args[0], false);
    return Value(other && self->hitTestObject(*other));
}

Value convertPoint(Vm& vm, const Value& thisValue, Args args, bool toGlobal) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self || !arg(args, 0).isObject()) return Value();
    ObjectRef point = args[0].objectRef();
    String xName(u"x"), yName(u"y");
    Value x = vm.get(point, xName), y = vm.get(point, yName);
    if (!x.isNumber() || !y.isNumber()) return Value();
    Point p{x.number(), y.number()};
    Point q = toGlobal ? self->localToGlobal(p) : self->globalToLocal(p);
    vm.set(point, xName, Value(q.x));
    vm.set(point, yName, Value(q.y));
    return Value();
}

Value localToGlobal(Vm& vm, const Value& thisValue, Args args) { return convertPoint(vm, thisValue, args, true); }
Value globalToLocal(Vm& vm, const Value& thisValue, Args args) { return convertPoint(vm, thisValue, args, false); }

Value startDrag(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self) return Value();
    std::optional<Bounds> bounds;
    if (args.size() >= 5) {
        bounds = Bounds{vm.toNumber(args[1]), vm.toNumber(args[2]), vm.toNumber(args[3]), vm.toNumber(args[4])};
    }
    actionStartDrag(vm, self, vm.toBoolean(arg(args, 0)), bounds);
    return Value();
}

Value stopDrag(Vm& vm, const Value&, Args) {
    vm.host().stopDrag();
    return Value();
}

Value loadMovie(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self || args.empty()) return Value();
    vm.host().loadMovie(self, std::nullopt, vm.toString(args[0]), methodArg(vm, args, 1));
    return Value();
}

Value unloadMovie(Vm& vm, const Value& thisValue, Args) {
    if (DisplayObjectBinding* self = thisDisplayObject(vm, thisValue)) vm.host().unloadMovie(self, std::nullopt);
    return Value();
}

// The variables a request sends: the object's own, for GET and POST only.
std::vector<std::pair<String, String>> variablesSent(Vm& vm, const Value& thisValue, HttpMethod method) {
    std::vector<std::pair<String, String>> out;
    ObjectRef self = method == HttpMethod::None ? nullptr : vm.toObject(thisValue);
    if (!self) return out;
    for (const String& key : vm.enumerate(*self)) out.emplace_back(key, vm.toString(vm.get(self, key)));
    return out;
}

Value loadVariables(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self || args.empty()) return Value();
    HttpMethod method = methodArg(vm, args, 1);
    vm.host().loadVariables(self, std::nullopt, vm.toString(args[0]), method, variablesSent(vm, thisValue, method));
    return Value();
}

Value getUrl(Vm& vm, const Value& thisValue, Args args) {
    if (args.empty()) return Value();
    HttpMethod method = methodArg(vm, args, 2);
    vm.host().getUrl(vm.toString(args[0]), args.size() > 1 ? vm.toString(args[1]) : String(), method,
                     variablesSent(vm, thisValue, method));
    return Value();
}

Value getBytesLoaded(Vm& vm, const Value& thisValue, Args) {
    CLIP_OR_RETURN(Value());
    return Value(clip->bytesLoaded());
}

Value getBytesTotal(Vm& vm, const Value& thisValue, Args) {
    CLIP_OR_RETURN(Value());
    return Value(clip->bytesTotal());
}

Value getSwfVersion(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    return self ? Value(self->swfVersion()) : Value(-1);
}

// A snapshot made by whatever TextSnapshot names when the clip is asked.
Value getTextSnapshot(Vm& vm, const Value& thisValue, Args) {
    if (!thisDisplayObject(vm, thisValue)) return Value();
    Value textSnapshot = vm.get(ObjectRef(vm.global()), String(u"TextSnapshot"));
    Value clip = thisValue;
    return vm.construct(textSnapshot, Args(&clip, 1));
}

Value setMask(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    // No argument changes nothing; null or undefined takes the mask away;
    // a clip or a path to one masks; anything else is refused.
    if (args.empty()) return Value();
    const Value& mask = args[0];
    if (mask.isNullish()) {
        clip->setMask(nullptr);
        return Value(true);
    }
    DisplayObjectBinding* target = mask.isObject() ? vm.bindingOf(mask) : vm.resolveTarget(mask, false);
    if (!target) return Value(false);
    clip->setMask(target);
    return Value(true);
}

// ---- the drawing API ----

Value lineStyle(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    LineStyle style;
    style.thickness = args.empty() || args[0].isUndefined() ? NAN : vm.toNumber(args[0]);
    if (!std::isnan(style.thickness)) style.thickness = std::clamp(style.thickness, 0.0, 255.0);
    style.rgb = toUint32(argNumber(vm, args, 1, 0)) & 0xFFFFFF;
    style.alpha = within(argNumber(vm, args, 2, 100), 0, 100, 0);
    style.pixelHinting = vm.toBoolean(arg(args, 3));
    style.scaleMode = args.size() > 4 && !args[4].isNullish() ? vm.toString(args[4]) : String(u"normal");
    style.caps = args.size() > 5 && !args[5].isNullish() ? vm.toString(args[5]) : String(u"round");
    style.joints = args.size() > 6 && !args[6].isNullish() ? vm.toString(args[6]) : String(u"round");
    style.miterLimit = within(argNumber(vm, args, 7, 3), 1, 255, 3);
    clip->lineStyle(style);
    return Value();
}

Value beginFill(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (args.empty() || args[0].isUndefined()) {
        clip->endFill();
        return Value();
    }
    clip->beginFill(toUint32(vm.toNumber(args[0])) & 0xFFFFFF,
                    within(argNumber(vm, args, 1, 100), 0, 100, 0));
    return Value();
}

std::vector<double> numbersOf(Vm& vm, const Value& v) {
    std::vector<double> out;
    if (!v.isObject()) return out;
    ObjectRef list = v.objectRef();
    std::uint32_t n = std::min<std::uint32_t>(lengthOf(vm, list), 16);
    for (std::uint32_t i = 0; i < n; ++i) out.push_back(vm.toNumber(elementOf(vm, list, i)));
    return out;
}

// The gradient matrix: either {a, b, c, d, tx, ty} or a box
// {matrixType: "box", x, y, w, h, r}, mapping the gradient square
// (-819.2..819.2 pixels) into the clip.
Matrix gradientMatrix(Vm& vm, const Value& v) {
    if (!v.isObject()) return {};
    ObjectRef o = v.objectRef();
    if (vm.toString(vm.get(o, String(u"matrixType"))) != u"box") return matrixFields(vm, o);
    auto num = [&](const char16_t* name) { return vm.toNumber(vm.get(o, String(name))); };
    Matrix m;
    double w = num(u"w"), h = num(u"h"), r = num(u"r");
    m.a = w / 1638.4 * std::cos(r);
    m.b = w / 1638.4 * std::sin(r);
    m.c = -h / 1638.4 * std::sin(r);
    m.d = h / 1638.4 * std::cos(r);
    m.tx = num(u"x") + w / 2;
    m.ty = num(u"y") + h / 2;
    return finiteMatrix(m);
}

// The arguments beginGradientFill and lineGradientStyle share: type,
// colours, alphas, ratios, matrix, spread, interpolation and focal point.
std::optional<GradientFill> gradientArgs(Vm& vm, Args args) {
    // The player refuses calls with more arguments than it knows.
    if (args.size() < 5 || args.size() > 8) return std::nullopt;
    GradientFill fill;
    String type = vm.toString(args[0]);
    if (!(type == u"linear" || type == u"radial")) return std::nullopt;
    fill.radial = type == u"radial";
    for (double c : numbersOf(vm, args[1])) fill.colors.push_back(toUint32(c) & 0xFFFFFF);
    fill.alphas = numbersOf(vm, args[2]);
    fill.ratios = numbersOf(vm, args[3]);
    // The player takes ratios as whole numbers (NaN as 0) and draws nothing
    // for lists of different lengths or a ratio outside 0..255.
    const std::size_t n = fill.colors.size();
    if (n == 0 || fill.alphas.size() != n || fill.ratios.size() != n) return std::nullopt;
    for (double& r : fill.ratios) {
        r = std::isnan(r) ? 0 : std::trunc(r);
        if (!(r >= 0 && r <= 255)) return std::nullopt;
    }
    for (double& a : fill.alphas) a = within(a, 0, 100, 0);
    fill.matrix = gradientMatrix(vm, args[4]);
    fill.spreadMethod = args.size() > 5 ? vm.toString(args[5]) : String(u"pad");
    fill.interpolationMethod = args.size() > 6 ? vm.toString(args[6]) : String(u"RGB");
    fill.focalPointRatio = within(argNumber(vm, args, 7, 0), -1, 1, 0);
    return fill;
}

Value beginGradientFill(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    // Without a type, as with beginFill(), the fill ends; a gradient the
    // player cannot make changes nothing.
    if (auto fill = gradientArgs(vm, args))
        clip->beginGradientFill(*fill);
    else if (arg(args, 0).isUndefined())
        clip->endFill();
    return Value();
}

Value lineGradientStyle(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (auto fill = gradientArgs(vm, args)) clip->lineGradientStyle(*fill);
    return Value();
}

// moveTo and lineTo.
template <auto To>
Value drawTo(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (args.size() < 2) return Value();
    (clip->*To)(drawingCoordinate(vm, args[0]), drawingCoordinate(vm, args[1]));
    return Value();
}

Value curveTo(Vm& vm, const Value& thisValue, Args args) {
    CLIP_OR_RETURN(Value());
    if (args.size() < 4) return Value();
    double cx = drawingCoordinate(vm, args[0]), cy = drawingCoordinate(vm, args[1]);
    clip->curveTo(cx, cy, drawingCoordinate(vm, args[2]), drawingCoordinate(vm, args[3]));
    return Value();
}


#undef CLIP_OR_RETURN

// ---- properties shared with buttons and text fields ----

// The display object or clip behind `this`, for the accessors below.
template <typename Binding>
Binding* thisBinding(Vm& vm, const Value& thisValue);
template <>
DisplayObjectBinding* thisBinding<DisplayObjectBinding>(Vm& vm, const Value& thisValue) {
    return thisDisplayObject(vm, thisValue);
}
template <>
MovieClipBinding* thisBinding<MovieClipBinding>(Vm& vm, const Value& thisValue) {
    return thisMovieClip(vm, thisValue);
}

// A getter reading one of the binding's values, undefined without one.
template <typename Binding, typename Result, Result (Binding::*Get)() const>
Value bindingGetter(Vm& vm, const Value& thisValue, Args) {
    Binding* self = thisBinding<Binding>(vm, thisValue);
    return self ? Value((self->*Get)()) : Value();
}

// A setter of one of the binding's flags, from the argument as a boolean.
template <typename Binding, void (Binding::*Set)(bool)>
Value flagSetter(Vm& vm, const Value& thisValue, Args args) {
    if (Binding* self = thisBinding<Binding>(vm, thisValue)) (self->*Set)(vm.toBoolean(arg(args, 0)));
    return Value();
}

template <bool (DisplayObjectBinding::*Get)() const, void (DisplayObjectBinding::*Set)(bool)>
constexpr Member displayFlag(std::u16string_view name) {
    return accessor(name, bindingGetter<DisplayObjectBinding, bool, Get>, flagSetter<DisplayObjectBinding, Set>);
}

// Nothing given means normal; a number names a mode by the file's
// numbering, in its low byte; any other kind of value leaves the mode as it is.
Value setBlendMode(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* self = thisDisplayObject(vm, thisValue);
    if (!self) return Value();
    const Value& mode = arg(args, 0);
    if (mode.isNullish()) {
        self->setBlendMode(String(u"normal"));
    } else if (mode.isString()) {
        self->setBlendMode(mode.string());
    } else if (mode.isNumber() && std::isfinite(mode.number())) {
        const double lowByte = std::fmod(std::trunc(mode.number()), 256.0);
        if (lowByte > 0) self->setBlendMode(String::fromUtf8(std::to_string(int(lowByte))));
    }
    return Value();
}

Value getTransform(Vm& vm, const Value& thisValue, Args) {
    return thisDisplayObject(vm, thisValue) ? transformOf(vm, thisValue) : Value();
}
Value setTransform(Vm& vm, const Value& thisValue, Args args) {
    if (DisplayObjectBinding* self = thisDisplayObject(vm, thisValue)) assignTransform(vm, *self, arg(args, 0));
    return Value();
}

constexpr Member kDisplayAccessorMembers[] = {
    displayFlag<&DisplayObjectBinding::enabled, &DisplayObjectBinding::setEnabled>(u"enabled"),
    displayFlag<&DisplayObjectBinding::useHandCursor, &DisplayObjectBinding::setUseHandCursor>(u"useHandCursor"),
    accessor(u"blendMode", bindingGetter<DisplayObjectBinding, String, &DisplayObjectBinding::blendMode>, setBlendMode),
    displayFlag<&DisplayObjectBinding::cacheAsBitmap, &DisplayObjectBinding::setCacheAsBitmap>(u"cacheAsBitmap"),
};

}  // namespace

void defineDisplayAccessors(Vm& vm, Object& proto) {
    defineMembers(vm, proto, kDisplayAccessorMembers);
    vm.defineProperty(proto, u"transform", getTransform, setTransform,
                      PropertyFlag::DontEnum | PropertyFlag::DontDelete | PropertyFlag::OnlySwf8Up);
    vm.defineMethod(proto, u"getDepth", getDepth);
    vm.defineMethod(proto, u"swapDepths", swapDepths);
}

constexpr Member kMovieClipPrototypeMembers[] = {
    method(u"play", clipCommand<&MovieClipBinding::play>),
    method(u"stop", clipCommand<&MovieClipBinding::stop>),
    method(u"nextFrame", clipCommand<&MovieClipBinding::nextFrame>),
    method(u"prevFrame", clipCommand<&MovieClipBinding::prevFrame>),
    method(u"gotoAndPlay", gotoAnd<true>),
    method(u"gotoAndStop", gotoAnd<false>),
    method(u"nextScene", gotoScene<1>),
    method(u"prevScene", gotoScene<-1>),
    method(u"createEmptyMovieClip", createEmptyMovieClip),
    method(u"attachMovie", attachMovie),
    method(u"duplicateMovieClip", duplicateMovieClip),
    method(u"createTextField", createTextField),
    method(u"removeMovieClip", removeSelf),
    method(u"getNextHighestDepth", getNextHighestDepth),
    method(u"getInstanceAtDepth", getInstanceAtDepth),
    method(u"getBounds", getBounds),
    method(u"getRect", getBounds),
    method(u"hitTest", hitTest),
    method(u"localToGlobal", localToGlobal),
    method(u"globalToLocal", globalToLocal),
    method(u"startDrag", startDrag),
    method(u"stopDrag", stopDrag),
    method(u"loadMovie", loadMovie),
    method(u"unloadMovie", unloadMovie),
    method(u"loadVariables", loadVariables),
    method(u"getURL", getUrl),
    method(u"getBytesLoaded", getBytesLoaded),
    method(u"getBytesTotal", getBytesTotal),
    method(u"getSWFVersion", getSwfVersion),
    method(u"getTextSnapshot", getTextSnapshot, kSwf6),
    method(u"setMask", setMask),
    method(u"clear", clipCommand<&MovieClipBinding::clearDrawing>),
    method(u"lineStyle", lineStyle),
    method(u"beginFill", beginFill),
    method(u"beginGradientFill", beginGradientFill),
    method(u"lineGradientStyle", lineGradientStyle),
    method(u"moveTo", drawTo<&MovieClipBinding::moveTo>),
    method(u"lineTo", drawTo<&MovieClipBinding::lineTo>),
    method(u"curveTo", curveTo),
    method(u"endFill", clipCommand<&MovieClipBinding::endFill>),
    accessor(u"_lockroot", bindingGetter<MovieClipBinding, bool, &MovieClipBinding::lockRoot>,
             flagSetter<MovieClipBinding, &MovieClipBinding::setLockRoot>),
};

void installMovieClip(Vm& vm) {
    ObjectRef proto = vm.newObject();
    vm.protos().movieClip = proto;
    defineClass(vm, *vm.global(), {u"MovieClip", nullptr, nullptr, kMovieClipPrototypeMembers}, proto);
    defineDisplayAccessors(vm, *proto);
}

}  // namespace kinolux::avm1::builtins
