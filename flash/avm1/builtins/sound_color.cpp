// Sound and Color: thin objects over the player's sounds and the color
// transform of a clip.
#include <algorithm>
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

// A Sound object; the player's sound (if it made one) lives as long as it.
class SoundObject final : public Object, public SoundEvents {
public:
    SoundObject(Heap& heap, Value proto) : Object(heap, ObjectKind::Sound, std::move(proto)) {}

    void attach(Vm& vm, std::unique_ptr<SoundBinding> sound) {
        vm_ = &vm;
        sound_ = std::move(sound);
    }
    SoundBinding* sound() const { return sound_.get(); }

    void soundCompleted() override {
        if (vm_) vm_->invoke(ObjectRef(this), u"onSoundComplete");
    }
    void soundLoaded(bool success) override {
        if (!vm_) return;
        Value arg(success);
        vm_->invoke(ObjectRef(this), u"onLoad", Args(&arg, 1));
    }

    double transform[4] = {100, 0, 0, 100};  // ll, lr, rl, rr

protected:
    void clearReferences() override {
        sound_.reset();
        Object::clearReferences();
    }

private:
    Vm* vm_ = nullptr;
    std::unique_ptr<SoundBinding> sound_;
};

SoundObject* thisSound(const Value& thisValue) {
    Object* self = thisObject(thisValue);
    return self && self->kind() == ObjectKind::Sound ? static_cast<SoundObject*>(self) : nullptr;
}

Value soundConstruct(Vm& vm, const Value& thisValue, Args args) {
    SoundObject* self = thisSound(thisValue);
    if (!self) return thisValue;
    DisplayObjectBinding* owner = args.empty() || args[0].isNullish() ? nullptr : vm.resolveTarget(args[0], false);
    self->attach(vm, vm.host().createSound(owner, *self));
    return thisValue;
}

#define SOUND_OR_RETURN(value)                   \
    SoundObject* self = thisSound(thisValue);    \
    SoundBinding* sound = self ? self->sound() : nullptr; \
    if (!sound) return value

Value attachSound(Vm& vm, const Value& thisValue, Args args) {
    SOUND_OR_RETURN(Value());
    sound->attachSound(vm.toString(arg(args, 0)));
    return Value();
}

Value start(Vm& vm, const Value& thisValue, Args args) {
    SOUND_OR_RETURN(Value());
    double offset = argNumber(vm, args, 0, 0);
    double loops = argNumber(vm, args, 1, 1);
    sound->start(std::isfinite(offset) ? std::max(0.0, offset) : 0.0,
                 std::isfinite(loops) ? std::max(1, static_cast<int>(loops)) : 1);
    return Value();
}

Value stop(Vm& vm, const Value& thisValue, Args args) {
    SOUND_OR_RETURN(Value());
    sound->stop(args.empty() ? std::nullopt : std::optional<String>(vm.toString(args[0])));
    return Value();
}

Value getVolume(Vm&, const Value& thisValue, Args) {
    SOUND_OR_RETURN(Value(100));
    return Value(sound->volume());
}

Value setVolume(Vm& vm, const Value& thisValue, Args args) {
    SOUND_OR_RETURN(Value());
    double v = vm.toNumber(arg(args, 0));
    if (std::isfinite(v)) sound->setVolume(v);
    return Value();
}

Value getPan(Vm&, const Value& thisValue, Args) {
    SOUND_OR_RETURN(Value(0));
    return Value(sound->pan());
}

Value setPan(Vm& vm, const Value& thisValue, Args args) {
    SOUND_OR_RETURN(Value());
    double v = vm.toNumber(arg(args, 0));
    if (std::isfinite(v)) sound->setPan(v);
    return Value();
}

Value getDuration(Vm&, const Value& thisValue, Args) {
    SOUND_OR_RETURN(Value());
    return Value(std::round(sound->durationMs()));
}

Value getPosition(Vm&, const Value& thisValue, Args) {
    SOUND_OR_RETURN(Value());
    return Value(std::round(sound->positionMs()));
}

// duration and position read the sound, but a script may still give an
// object its own value under those names.
Value keepOwnValue(Vm& vm, const Value& thisValue, Args args) {
    if (Object* self = thisObject(thisValue)) {
        String name(vm.nativeCallee()->tag() == 0 ? u"duration" : u"position");
        self->setOwnData(name, arg(args, 0), vm.caseSensitive());
    }
    return Value();
}


Value loadSound(Vm& vm, const Value& thisValue, Args args) {
    SOUND_OR_RETURN(Value());
    sound->loadSound(vm.toString(arg(args, 0)), vm.toBoolean(arg(args, 1)));
    return Value();
}

constexpr const char16_t* kTransformNames[4] = {u"ll", u"lr", u"rl", u"rr"};

Value getTransform(Vm& vm, const Value& thisValue, Args) {
    SoundObject* self = thisSound(thisValue);
    if (!self) return Value();
    ObjectRef out = vm.newObject();
    for (int i : {0, 1, 3, 2})  // the player's order: ll, lr, rr, rl
        vm.set(out, String(kTransformNames[i]), Value(self->transform[i]));
    return Value(out);
}

Value setTransform(Vm& vm, const Value& thisValue, Args args) {
    SoundObject* self = thisSound(thisValue);
    if (!self || !arg(args, 0).isObject()) return Value();
    ObjectRef in = args[0].objectRef();
    for (int i = 0; i < 4; ++i) {
        String name(kTransformNames[i]);
        if (vm.hasProperty(*in, name)) self->transform[i] = vm.toNumber(vm.get(in, name));
    }
    return Value();
}

Value zero(Vm&, const Value&, Args) { return Value(0); }

#undef SOUND_OR_RETURN

// ---- Color ----

DisplayObjectBinding* colorTarget(Vm& vm, const Value& thisValue) {
    Object* self = thisObject(thisValue);
    if (!self) return nullptr;
    Value target = vm.get(ObjectRef(self), String(u"target"));
    // An empty path names no clip here (elsewhere it is the current one).
    if (target.isUndefined() || (target.isString() && vm.toString(target).empty())) return nullptr;
    return vm.resolveTarget(target, true);
}

// The player keeps a color transform in 16-bit fixed point: multipliers
// in 1/256 steps, offsets whole, both wrapping at 16 bits.
double wrap16(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(
        static_cast<std::int64_t>(std::trunc(std::fmod(v, 65536.0))))));
}
double fixedMultiplier(double percent) { return wrap16(percent * 2.56) / 256.0; }
double fixedOffset(double v) { return wrap16(v); }

// The target is kept as the object's own `target`, hidden and read-only.
Value colorConstruct(Vm&, const Value& thisValue, Args args) {
    if (Object* self = thisObject(thisValue))
        self->defineValue(String(u"target"), arg(args, 0), kHidden | PropertyFlag::ReadOnly);
    return thisValue;
}

Value setRgb(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* target = colorTarget(vm, thisValue);
    if (!target || args.empty()) return Value();
    std::int32_t rgb = vm.toInt32(args[0]);
    ColorTransform ct = target->colorTransform();
    ct.redMultiplier = ct.greenMultiplier = ct.blueMultiplier = 0;
    ct.redOffset = (rgb >> 16) & 0xFF;
    ct.greenOffset = (rgb >> 8) & 0xFF;
    ct.blueOffset = rgb & 0xFF;
    target->setColorTransform(ct);
    return Value();
}

Value getRgb(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = colorTarget(vm, thisValue);
    if (!target) return Value();
    ColorTransform ct = target->colorTransform();
    // The offsets are combined as signed numbers: a negative one fills the
    // bits above it.
    auto component = [](double v) { return static_cast<std::uint32_t>(static_cast<std::int32_t>(v)); };
    return Value(static_cast<std::int32_t>(component(ct.redOffset) << 16 | component(ct.greenOffset) << 8 |
                                           component(ct.blueOffset)));
}

struct TransformField {
    const char16_t* name;
    double ColorTransform::*field;
    bool multiplier;
};

constexpr TransformField kColorFields[] = {
    {u"ra", &ColorTransform::redMultiplier, true},   {u"rb", &ColorTransform::redOffset, false},
    {u"ga", &ColorTransform::greenMultiplier, true}, {u"gb", &ColorTransform::greenOffset, false},
    {u"ba", &ColorTransform::blueMultiplier, true},  {u"bb", &ColorTransform::blueOffset, false},
    {u"aa", &ColorTransform::alphaMultiplier, true}, {u"ab", &ColorTransform::alphaOffset, false},
};

Value colorGetTransform(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = colorTarget(vm, thisValue);
    if (!target) return Value();
    ColorTransform ct = target->colorTransform();
    ObjectRef out = vm.newObject();
    for (const TransformField& f : kColorFields)
        vm.set(out, String(f.name), Value(ct.*f.field * (f.multiplier ? 100.0 : 1.0)));
    return Value(out);
}

Value colorSetTransform(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* target = colorTarget(vm, thisValue);
    if (!target || !arg(args, 0).isObject()) return Value();
    ObjectRef in = args[0].objectRef();
    ColorTransform ct = target->colorTransform();
    // Only the object's own fields count; what is no finite number is 0.
    for (const TransformField& f : kColorFields) {
        String name(f.name);
        if (!vm.hasOwnProperty(*in, name)) continue;
        double v = vm.toNumber(vm.get(in, name));
        ct.*f.field = f.multiplier ? fixedMultiplier(v) : fixedOffset(v);
    }
    target->setColorTransform(ct);
    return Value();
}

}  // namespace

ObjectRef makeSoundObject(Vm& vm, const Value& proto) { return ObjectRef(vm.heap().make<SoundObject>(proto)); }

void installSoundAndColor(Vm& vm) {
    ObjectRef soundProto = vm.newObject();
    soundProto->setInstanceKind(ObjectKind::Sound);
    vm.protos().sound = soundProto;
    defineClass(vm, *vm.global(), u"Sound", nullptr, soundConstruct, soundProto);
    Object& s = *soundProto;
    vm.defineMethod(s, u"attachSound", attachSound);
    vm.defineMethod(s, u"start", start);
    vm.defineMethod(s, u"stop", stop);
    vm.defineMethod(s, u"getVolume", getVolume);
    vm.defineMethod(s, u"setVolume", setVolume);
    vm.defineMethod(s, u"getPan", getPan);
    vm.defineMethod(s, u"setPan", setPan);
    vm.defineMethod(s, u"getTransform", getTransform);
    vm.defineMethod(s, u"setTransform", setTransform);
    vm.defineMethod(s, u"loadSound", loadSound);
    vm.defineMethod(s, u"getBytesLoaded", zero);
    vm.defineMethod(s, u"getBytesTotal", zero);
    const std::uint16_t swf6 = kHidden | PropertyFlag::OnlySwf6Up;
    vm.defineMethod(s, u"getDuration", getDuration, swf6);
    vm.defineMethod(s, u"setDuration", nothing, swf6);
    vm.defineMethod(s, u"getPosition", getPosition, swf6);
    vm.defineMethod(s, u"setPosition", nothing, swf6);
    Ref<FunctionObject> keepDuration = vm.newNative(keepOwnValue);
    Ref<FunctionObject> keepPosition = vm.newNative(keepOwnValue);
    keepPosition->setTag(1);
    s.defineAccessor(String(u"duration"), ObjectRef(vm.newNative(getDuration)), ObjectRef(keepDuration), kHidden);
    s.defineAccessor(String(u"position"), ObjectRef(vm.newNative(getPosition)), ObjectRef(keepPosition), kHidden);

    ObjectRef colorProto = vm.newObject();
    colorProto->setInstanceKind(ObjectKind::Color);
    vm.protos().color = colorProto;
    defineClass(vm, *vm.global(), u"Color", nullptr, colorConstruct, colorProto);
    vm.defineMethod(*colorProto, u"setRGB", setRgb);
    vm.defineMethod(*colorProto, u"getRGB", getRgb);
    vm.defineMethod(*colorProto, u"setTransform", colorSetTransform);
    vm.defineMethod(*colorProto, u"getTransform", colorGetTransform);
}

}  // namespace kinolux::avm1::builtins
