// flash.media's Sound, SoundChannel, SoundTransform and SoundMixer: a Sound
// of a class linked to a library sound, or one that loaded an MP3 file from
// the movie's folder, plays through the player's sound engine, as the
// timeline's own sounds play; its SoundChannel passes the
// script's stop and levels on and hears back how far the sound has played
// and that it ended.
#include <algorithm>
#include <cmath>
#include <map>

#include "flash/avm2/display_binding.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/load_events.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/loaded_mp3.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;
using kinolux::avm2::DisplayScriptObject;
using kinolux::avm2::ObjectKind;

// A SoundTransform's settings: volume, and where each input channel goes.
struct Levels {
    double volume = 1, leftToLeft = 1, leftToRight = 0, rightToLeft = 0, rightToRight = 1;

    ScriptSoundLevels mixed() const {
        return {leftToLeft * volume, leftToRight * volume, rightToLeft * volume, rightToRight * volume};
    }
    // A channel keeps its levels in whole percent, and gives back what it kept.
    Levels inPercent() const {
        auto percent = [](double v) { return std::isfinite(v) ? std::trunc(v * 100) / 100 : 0.0; };
        return {percent(volume), percent(leftToLeft), percent(leftToRight), percent(rightToLeft),
                percent(rightToRight)};
    }
};

class TransformObject : public Object {
public:
    using Object::Object;
    Levels levels;
};

class ChannelObject : public DisplayScriptObject {
public:
    using DisplayScriptObject::DisplayScriptObject;
    std::shared_ptr<ScriptSoundChannel> channel;  // null for a channel that plays nothing
    Levels levels;
};

class SoundObject : public DisplayScriptObject {
public:
    using DisplayScriptObject::DisplayScriptObject;
    const swf::DefineSound* sound = nullptr;  // the library sound its class is linked to
    // An MP3 file it loads: the channels played before it came start when
    // it does.
    bool loading = false;
    std::shared_ptr<const LoadedSound> loaded;
    double fileBytes = 0;
    Value url = Value::null();
    std::vector<ChannelObject*> waiting;
};

// What the machine keeps for its sounds: the channels whose end it waits
// for, SoundMixer's settings, and the transforms scripts gave sprites (the
// player core keeps only their mixed levels).
struct SoundState {
    std::vector<ChannelObject*> playing;
    Levels mixer;
    double bufferTime = 5;
    std::map<const DisplayObject*, std::pair<std::weak_ptr<DisplayObject>, Levels>> sprites;
};

SoundState& state(Vm& vm) {
    if (!vm.soundState()) vm.soundState() = std::make_shared<SoundState>();
    return *static_cast<SoundState*>(vm.soundState().get());
}

template <class T>
Object* make(Vm& vm, Class* cls) {
    return vm.make<T>(ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
}

template <class T>
T& self(Vm& vm, const Value& v) {
    auto* o = dynamic_cast<T*>(v.object());
    if (!o) vm.throwError(ErrorType::TypeError, "Error #1034: Type Coercion failed.", 1034);
    return *o;
}

// ---- SoundTransform ----

Value newTransform(Vm& vm, const Levels& levels) {
    Object* o = vm.construct(vm.findClass(u"flash.media.SoundTransform"), {});
    static_cast<TransformObject*>(o)->levels = levels;
    return Value(o);
}

// The levels of a SoundTransform argument; the default ones for null.
Levels levelsOf(Vm& vm, const Value& v) {
    if (v.isNullish()) return {};
    return self<TransformObject>(vm, v).levels;
}

Value transformInit(Vm& vm, const Value& v, Args a) {
    Levels& levels = self<TransformObject>(vm, v).levels;
    levels.volume = a.empty() ? 1 : vm.toNumber(a[0]);
    const double pan = a.size() < 2 ? 0 : vm.toNumber(a[1]);
    levels.leftToLeft = std::sqrt(1 - pan);
    levels.rightToRight = std::sqrt(1 + pan);
    return Value();
}

template <double Levels::*Field>
Value levelGetter(Vm& vm, const Value& v, Args) {
    return Value(self<TransformObject>(vm, v).levels.*Field);
}
template <double Levels::*Field>
Value levelSetter(Vm& vm, const Value& v, Args a) {
    self<TransformObject>(vm, v).levels.*Field = vm.toNumber(arg(a, 0));
    return Value();
}

// Pan is what the two cross levels leave of the left one: none when either
// is set.
Value panGetter(Vm& vm, const Value& v, Args) {
    const Levels& l = self<TransformObject>(vm, v).levels;
    if (l.leftToRight != 0 || l.rightToLeft != 0) return Value(0);
    return Value(1 - l.leftToLeft * l.leftToLeft);
}

Value panSetter(Vm& vm, const Value& v, Args a) {
    Levels& l = self<TransformObject>(vm, v).levels;
    const double pan = vm.toNumber(arg(a, 0));
    l.leftToLeft = std::sqrt(1 - pan);
    l.rightToRight = std::sqrt(1 + pan);
    l.leftToRight = l.rightToLeft = 0;
    return Value();
}

// ---- Sound ----

const swf::DefineSound* linkedSound(Vm& vm, Class* cls) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bridge) return nullptr;
    for (Class* c = cls; c; c = c->super)
        if (const Character* character = bridge->symbolCharacter(c))
            if (const auto* sound = character->as<swf::DefineSound>()) return sound;
    return nullptr;
}

Value soundLength(Vm& vm, const Value& v, Args) {
    const SoundObject& o = self<SoundObject>(vm, v);
    if (o.loaded) return Value(soundDurationMs(o.loaded->format, o.loaded->sampleCount));
    if (!o.sound) return Value(0);
    return Value(soundDurationMs(o.sound->format, o.sound->sampleCount));
}

// An MP3 sound's data starts with two bytes of its own, not of the file.
Value soundBytes(Vm& vm, const Value& v, Args) {
    const SoundObject& o = self<SoundObject>(vm, v);
    if (!o.sound) return Value(o.fileBytes);
    const std::size_t header = o.sound->format.compression == swf::SoundFormat::Mp3 ? 2 : 0;
    return Value(double(o.sound->data.size() - std::min(header, o.sound->data.size())));
}

Value soundUrl(Vm& vm, const Value& v, Args) { return self<SoundObject>(vm, v).url; }

void startWhenLoaded(Vm& vm, ChannelObject& channel, const std::shared_ptr<const LoadedSound>& loaded);

void soundArrived(Vm& vm, SoundObject& sound, const std::string& url, LoadedFile bytes) {
    sound.loading = false;
    std::string error;
    std::optional<LoadedSound> mp3 = soundFromFile(bytes, url, error);
    const Value target(&sound);
    if (!mp3) {
        if (!error.empty()) vm.host().scriptError(error);
        dispatchIoError(vm, target, "Error #2032: Stream Error. URL: " + url);
        return;
    }
    sound.loaded = std::make_shared<const LoadedSound>(std::move(*mp3));
    sound.fileBytes = double(bytes->size());
    dispatchEvent(vm, target, u"flash.events.Event", u"open");
    dispatchProgress(vm, target, sound.fileBytes, sound.fileBytes);
    for (ChannelObject* channel : std::exchange(sound.waiting, {})) startWhenLoaded(vm, *channel, sound.loaded);
    dispatchEvent(vm, target, u"flash.events.Event", u"complete");
}

// Each Sound loads one file.
Value soundLoad(Vm& vm, const Value& v, Args a) {
    SoundObject& sound = self<SoundObject>(vm, v);
    if (sound.loading || sound.loaded || sound.sound)
        vm.throwError(ErrorType::Error,
                      "Error #2037: Functions called in incorrect sequence, or earlier call was unsuccessful.", 2037);
    const Value request = arg(a, 0);
    requireNonNull(vm, request, "stream");
    const String url = vm.toString(vm.getPublic(request, u"url"));
    sound.url = Value(url);
    sound.loading = queueLoad(vm, url.toUtf8(), [&vm, &sound, path = url.toUtf8()](LoadedFile bytes) {
        soundArrived(vm, sound, path, std::move(bytes));
    });
    return Value();
}

Value soundInit(Vm& vm, const Value& v, Args a) {
    SoundObject& sound = self<SoundObject>(vm, v);
    sound.sound = linkedSound(vm, sound.cls);
    if (!arg(a, 0).isNullish()) soundLoad(vm, v, a);
    return Value();
}

void queueChannel(Vm& vm, ChannelObject& channel) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bridge) return;
    QueuedSound queued;
    queued.channel = channel.channel;
    bridge->player().queueSound(std::move(queued));
    state(vm).playing.push_back(&channel);
}

void startWhenLoaded(Vm& vm, ChannelObject& channel, const std::shared_ptr<const LoadedSound>& loaded) {
    if (channel.channel->stopRequested) return;
    channel.channel->loaded = loaded;
    queueChannel(vm, channel);
}

Value play(Vm& vm, const Value& v, Args a) {
    SoundObject& sound = self<SoundObject>(vm, v);
    if (!(sound.sound || sound.loaded || sound.loading) || !DisplayBridge::of(vm)) return Value::null();
    auto* channelObject = static_cast<ChannelObject*>(vm.construct(vm.findClass(u"flash.media.SoundChannel"), {}));
    channelObject->levels = levelsOf(vm, arg(a, 2)).inPercent();
    auto channel = std::make_shared<ScriptSoundChannel>();
    const double start = a.empty() ? 0 : vm.toNumber(a[0]);
    channel->startMs = std::isfinite(start) ? std::max(0.0, start) : 0;
    const double loops = a.size() < 2 ? 1 : vm.toNumber(a[1]);
    channel->loops = std::isfinite(loops) ? int(std::clamp(loops, 1.0, 65535.0)) : 1;
    channel->levels = channelObject->levels.mixed();
    channelObject->channel = std::move(channel);
    if (sound.loading) {
        sound.waiting.push_back(channelObject);
    } else if (sound.loaded) {
        startWhenLoaded(vm, *channelObject, sound.loaded);
    } else {
        channelObject->channel->sound = sound.sound->id;
        queueChannel(vm, *channelObject);
    }
    return Value(channelObject);
}

// ---- SoundChannel ----

Value channelPosition(Vm& vm, const Value& v, Args) {
    const auto& channel = self<ChannelObject>(vm, v).channel;
    return Value(channel ? channel->positionMs : 0.0);
}

void forget(Vm& vm, ChannelObject* channel) { std::erase(state(vm).playing, channel); }

Value channelStop(Vm& vm, const Value& v, Args) {
    ChannelObject& channel = self<ChannelObject>(vm, v);
    if (channel.channel) channel.channel->stopRequested = true;
    forget(vm, &channel);
    return Value();
}

Value channelTransform(Vm& vm, const Value& v, Args) {
    return newTransform(vm, self<ChannelObject>(vm, v).levels);
}

Value setChannelTransform(Vm& vm, const Value& v, Args a) {
    ChannelObject& channel = self<ChannelObject>(vm, v);
    requireNonNull(vm, arg(a, 0), "soundTransform");
    channel.levels = levelsOf(vm, a[0]).inPercent();
    if (channel.channel) channel.channel->levels = channel.levels.mixed();
    return Value();
}

// ---- Sprite.soundTransform: every sound in the sprite and its children ----

Value spriteTransform(Vm& vm, const Value& v, Args) {
    const DisplayObject* sprite = DisplayBridge::displayOf(v);
    const auto& sprites = state(vm).sprites;
    const auto found = sprites.find(sprite);
    const bool same = found != sprites.end() && found->second.first.lock().get() == sprite;
    return newTransform(vm, same ? found->second.second : Levels{});
}

Value setSpriteTransform(Vm& vm, const Value& v, Args a) {
    requireNonNull(vm, arg(a, 0), "soundTransform");
    DisplayObject* sprite = DisplayBridge::displayOf(v);
    if (!sprite) return Value();
    const Levels levels = levelsOf(vm, a[0]).inPercent();
    auto& sprites = state(vm).sprites;
    std::erase_if(sprites, [](const auto& entry) { return entry.second.first.expired(); });
    sprites[sprite] = {sprite->weak_from_this(), levels};
    sprite->soundLevels = levels.mixed();
    return Value();
}

// ---- SoundMixer ----

Value stopAll(Vm& vm, const Value&, Args) {
    SoundState& s = state(vm);
    for (ChannelObject* channel : s.playing)
        if (channel->channel) channel->channel->stopRequested = true;
    s.playing.clear();
    if (DisplayBridge* bridge = DisplayBridge::of(vm)) {
        QueuedSound queued;
        queued.stopAll = true;
        bridge->player().queueSound(std::move(queued));
    }
    return Value();
}

Value mixerTransform(Vm& vm, const Value&, Args) { return newTransform(vm, state(vm).mixer); }

Value setMixerTransform(Vm& vm, const Value&, Args a) {
    requireNonNull(vm, arg(a, 0), "soundTransform");
    Levels& mixer = state(vm).mixer;
    mixer = levelsOf(vm, a[0]).inPercent();
    if (DisplayBridge* bridge = DisplayBridge::of(vm)) bridge->player().mixerLevels() = mixer.mixed();
    return Value();
}

Value bufferTime(Vm& vm, const Value&, Args) { return Value(state(vm).bufferTime); }

Value setBufferTime(Vm& vm, const Value&, Args a) {
    state(vm).bufferTime = double(kinolux::avm2::toInt32(vm.toNumber(arg(a, 0))));
    return Value();
}

// The spectrum of what plays is not worked out: it reads as silence.
Value computeSpectrum(Vm& vm, const Value&, Args a) {
    constexpr int kValues = 512;
    Value bytes = arg(a, 0);
    requireNonNull(vm, bytes, "outputArray");
    vm.setPublic(bytes, u"length", Value(0));
    Value zeros[] = {Value(0.0)};
    for (int i = 0; i < kValues; ++i)
        vm.callProperty(bytes, kinolux::avm2::Multiname::publicName(String(u"writeFloat")), zeros);
    vm.setPublic(bytes, u"position", Value(0));
    return Value();
}

}  // namespace

void dispatchEndedSounds(Vm& vm) {
    if (!vm.soundState()) return;
    std::vector<ChannelObject*> ended;
    std::erase_if(state(vm).playing, [&](ChannelObject* channel) {
        if (!channel->channel || !channel->channel->ended) return false;
        ended.push_back(channel);
        return true;
    });
    for (ChannelObject* channel : ended) vm.dispatchSimpleEvent(channel, u"soundComplete");
}

void installSoundClasses(Vm& vm) {
    Class* dispatcher = vm.findClass(u"flash.events.EventDispatcher");

    Class* transform = vm.defineClass(u"flash.media", u"SoundTransform", vm.findClass(u"Object"),
                                      make<TransformObject>);
    vm.defineConstructor(transform, transformInit);
    vm.defineGetter(transform, u"volume", levelGetter<&Levels::volume>, levelSetter<&Levels::volume>);
    vm.defineGetter(transform, u"leftToLeft", levelGetter<&Levels::leftToLeft>, levelSetter<&Levels::leftToLeft>);
    vm.defineGetter(transform, u"leftToRight", levelGetter<&Levels::leftToRight>,
                    levelSetter<&Levels::leftToRight>);
    vm.defineGetter(transform, u"rightToLeft", levelGetter<&Levels::rightToLeft>,
                    levelSetter<&Levels::rightToLeft>);
    vm.defineGetter(transform, u"rightToRight", levelGetter<&Levels::rightToRight>,
                    levelSetter<&Levels::rightToRight>);
    vm.defineGetter(transform, u"pan", panGetter, panSetter);

    Class* sound = vm.defineClass(u"flash.media", u"Sound", dispatcher, make<SoundObject>);
    vm.defineConstructor(sound, soundInit);
    vm.defineTraitMethod(sound, u"play", play);
    vm.defineTraitMethod(sound, u"load", soundLoad);
    vm.defineTraitMethod(sound, u"close", nothing);
    vm.defineGetter(sound, u"length", soundLength);
    vm.defineGetter(sound, u"bytesLoaded", soundBytes);
    vm.defineGetter(sound, u"bytesTotal", soundBytes);
    vm.defineGetter(sound, u"isBuffering", falseValue);
    vm.defineGetter(sound, u"isURLInaccessible", falseValue);
    vm.defineGetter(sound, u"url", soundUrl);

    Class* channel = vm.defineClass(u"flash.media", u"SoundChannel", dispatcher, make<ChannelObject>);
    vm.defineTraitMethod(channel, u"stop", channelStop);
    vm.defineGetter(channel, u"position", channelPosition);
    vm.defineGetter(channel, u"soundTransform", channelTransform, setChannelTransform);
    vm.defineGetter(channel, u"leftPeak", zeroValue);
    vm.defineGetter(channel, u"rightPeak", zeroValue);

    // MovieClip took Sprite's traits when it was made: both need the property.
    for (const char16_t* name : {u"flash.display.Sprite", u"flash.display.MovieClip"})
        if (Class* sprite = vm.findClass(name))
            vm.defineGetter(sprite, u"soundTransform", spriteTransform, setSpriteTransform);

    Class* mixer = vm.defineClass(u"flash.media", u"SoundMixer", vm.findClass(u"Object"), nullptr);
    vm.defineMethod(mixer, u"stopAll", stopAll, true);
    vm.defineMethod(mixer, u"computeSpectrum", computeSpectrum, true, 3);
    vm.defineMethod(mixer, u"areSoundsInaccessible", falseValue, true);
    vm.defineGetter(mixer, u"soundTransform", mixerTransform, setMixerTransform, true);
    vm.defineGetter(mixer, u"bufferTime", bufferTime, setBufferTime, true);
}

}  // namespace flash
