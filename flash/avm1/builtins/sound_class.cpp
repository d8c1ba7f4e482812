// Sound: a thin object over the player's sounds.
#include <algorithm>
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
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
    return thisOfKind<SoundObject>(thisValue, ObjectKind::Sound);
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

Value getPan(Vm&, const Value& thisValue, Args) {
    SOUND_OR_RETURN(Value(0));
    return Value(sound->pan());
}

// setVolume and setPan: a number that is not finite changes nothing.
template <void (SoundBinding::*Set)(double)>
Value setLevel(Vm& vm, const Value& thisValue, Args args) {
    SOUND_OR_RETURN(Value());
    double v = vm.toNumber(arg(args, 0));
    if (std::isfinite(v)) (sound->*Set)(v);
    return Value();
}

// The duration or position, in whole milliseconds.
template <std::optional<double> (SoundBinding::*Ms)() const>
Value getMilliseconds(Vm&, const Value& thisValue, Args) {
    SOUND_OR_RETURN(Value());
    const std::optional<double> ms = (sound->*Ms)();
    return ms ? Value(std::round(*ms)) : Value();
}
constexpr auto getDuration = getMilliseconds<&SoundBinding::durationMs>;
constexpr auto getPosition = getMilliseconds<&SoundBinding::positionMs>;

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
    const SoundMix mix = self->sound() ? self->sound()->mix() : kUnchangedSoundMix;
    ObjectRef out = vm.newObject();
    for (int i : {0, 1, 3, 2})  // the player's order: ll, lr, rr, rl
        vm.set(out, String(kTransformNames[i]), Value(mix[i]));
    return Value(out);
}

// The names the object leaves out keep their levels.
Value setTransform(Vm& vm, const Value& thisValue, Args args) {
    SOUND_OR_RETURN(Value());
    if (!arg(args, 0).isObject()) return Value();
    ObjectRef in = args[0].objectRef();
    SoundMix mix = sound->mix();
    for (int i = 0; i < 4; ++i) {
        String name(kTransformNames[i]);
        if (vm.hasProperty(*in, name)) mix[i] = vm.toNumber(vm.get(in, name));
    }
    sound->setMix(mix);
    return Value();
}

#undef SOUND_OR_RETURN

constexpr Member kSoundPrototypeMembers[] = {
    method(u"attachSound", attachSound),
    method(u"start", start),
    method(u"stop", stop),
    method(u"getVolume", getVolume),
    method(u"setVolume", setLevel<&SoundBinding::setVolume>),
    method(u"getPan", getPan),
    method(u"setPan", setLevel<&SoundBinding::setPan>),
    method(u"getTransform", getTransform),
    method(u"setTransform", setTransform),
    method(u"loadSound", loadSound),
    method(u"getBytesLoaded", zero),
    method(u"getBytesTotal", zero),
    // Flash Player 6 added these.
    method(u"getDuration", getDuration, kSwf6),
    method(u"setDuration", nothing, kSwf6),
    method(u"getPosition", getPosition, kSwf6),
    method(u"setPosition", nothing, kSwf6),
    // The tag tells keepOwnValue which of the two it keeps.
    accessor(u"duration", getDuration, keepOwnValue, kHidden, 0),
    accessor(u"position", getPosition, keepOwnValue, kHidden, 1),
};

}  // namespace

ObjectRef makeSoundObject(Vm& vm, const Value& proto) { return ObjectRef(vm.heap().make<SoundObject>(proto)); }

void installSound(Vm& vm) {
    vm.protos().sound = prototypeOfKind(vm, ObjectKind::Sound);
    defineClass(vm, *vm.global(), {u"Sound", nullptr, soundConstruct, kSoundPrototypeMembers}, vm.protos().sound);
}

}  // namespace kinolux::avm1::builtins
