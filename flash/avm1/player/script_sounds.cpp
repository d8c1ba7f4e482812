#include "flash/avm1/player/script_sounds.h"

#include <algorithm>
#include <cmath>

#include "flash/avm1/value.h"
#include "flash/core/loaded_mp3.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {

using kinolux::avm1::SoundMix;
using kinolux::avm1::String;

namespace {

// A level in percent as a fraction the mixer takes; what cannot be heard
// (negative or not a number) is silence.
double fraction(double percent) { return std::isfinite(percent) && percent > 0 ? percent / 100 : 0.0; }

bool sameLinkage(const String& a, const String& b) { return a.equalsIgnoreCase(b.view()); }

}  // namespace

ScriptSoundLevels SoundScope::levels() const {
    const double v = fraction(volume);
    // lr is the right input heard on the left, rl the left input heard on the right.
    return {fraction(mix[0]) * v, fraction(mix[2]) * v, fraction(mix[1]) * v, fraction(mix[3]) * v};
}

// One Sound object: the sound it attached or loaded, and the last one it
// started, whose end it tells its script object.
class ClipSound final : public kinolux::avm1::SoundBinding {
public:
    ClipSound(ScriptSounds& sounds, std::shared_ptr<SoundScope> scope, kinolux::avm1::SoundEvents& events)
        : sounds_(sounds), scope_(std::move(scope)), events_(events) {
        sounds_.sounds_.push_back(this);
    }
    ~ClipSound() override { std::erase(sounds_.sounds_, this); }

    bool attachSound(const String& linkage) override;
    void start(double offsetSeconds, int loops) override;
    void stop(const std::optional<String>& linkage) override { sounds_.stopStarted(scope_.get(), linkage); }
    double volume() const override { return scope_->volume; }
    void setVolume(double percent) override {
        scope_->volume = kinolux::avm1::toInt32(percent);
        sounds_.levelsChanged(*scope_);
    }
    double pan() const override {
        const SoundMix& mix = scope_->mix;
        return mix[0] != 100 ? 100 - mix[0] : mix[3] - 100;
    }
    // A pan turns one side down and sends nothing across.
    void setPan(double pan) override {
        const double p = kinolux::avm1::toInt32(pan);
        scope_->mix = {p > 0 ? 100 - p : 100, 0, 0, p < 0 ? 100 + p : 100};
        sounds_.levelsChanged(*scope_);
    }
    SoundMix mix() const override { return scope_->mix; }
    void setMix(const SoundMix& mix) override {
        scope_->mix = mix;
        sounds_.levelsChanged(*scope_);
    }
    std::optional<double> durationMs() const override {
        if (!sound_) return std::nullopt;
        return soundDurationMs(sound_->format, sound_->sampleCount);
    }
    std::optional<double> positionMs() const override {
        if (playing_) return playing_->positionMs;
        return sound_ ? std::optional(0.0) : std::nullopt;
    }
    void loadSound(const String& url, bool streaming) override;

    // Tells the script object the first news there is: its file came, or
    // its sound ended. The object may be gone once it returns.
    void tellNews();

private:
    // The sound to play: one of the player's library, by its id there, or
    // (a file, or a sound of a movie loaded into a clip) its own copy.
    struct Playable {
        swf::SoundFormatInfo format;
        std::uint32_t sampleCount = 0;
        swf::CharacterId id = 0;
        std::shared_ptr<const LoadedSound> copy;
    };
    struct Load {
        std::shared_ptr<const LoadedSound> sound;  // null: there is none
        bool streaming = false;
    };

    ScriptSounds& sounds_;
    std::shared_ptr<SoundScope> scope_;
    kinolux::avm1::SoundEvents& events_;
    std::optional<Playable> sound_;
    String linkage_;
    std::optional<Load> arrived_;
    std::shared_ptr<ScriptSoundChannel> playing_;
    bool endTold_ = false;
};

bool ClipSound::attachSound(const String& linkage) {
    // The clip's own movie first: a movie loaded into a clip has its own library.
    const Library& movie = sounds_.player_.library();
    const auto owner = scope_->owner.lock();
    const auto* clip = dynamic_cast<const MovieClip*>(owner.get());
    const Character* character = clip ? clip->library().exported(linkage) : nullptr;
    if (!character) character = movie.exported(linkage);
    const auto* define = character ? character->as<swf::DefineSound>() : nullptr;
    if (!define) return false;
    Playable sound{define->format, define->sampleCount, 0, nullptr};
    if (movie.get(define->id) == character)
        sound.id = define->id;
    else
        sound.copy = std::make_shared<const LoadedSound>(
            LoadedSound{define->format, define->sampleCount, {define->data.begin(), define->data.end()}});
    sound_ = std::move(sound);
    linkage_ = linkage;
    return true;
}

void ClipSound::start(double offsetSeconds, int loops) {
    if (!sound_) return;
    auto channel = std::make_shared<ScriptSoundChannel>();
    channel->sound = sound_->id;
    channel->loaded = sound_->copy;
    channel->startMs = offsetSeconds * 1000;
    channel->loops = std::clamp(loops, 1, 0xFFFF);
    QueuedSound queued;
    queued.channel = channel;
    queued.clip = scope_->owner;
    sounds_.player_.queueSound(std::move(queued));
    scope_->started.push_back({channel, linkage_});
    playing_ = std::move(channel);
    endTold_ = false;
}

// The file is read now and comes after the frame's scripts, as from a
// network.
void ClipSound::loadSound(const String& url, bool streaming) {
    std::string error;
    std::optional<LoadedSound> sound =
        soundFromFile(sounds_.player_.readBesideMovie(url.toUtf8()), url.toUtf8(), error);
    if (!error.empty()) sounds_.player_.scriptError(error);
    arrived_ = Load{sound ? std::make_shared<const LoadedSound>(std::move(*sound)) : nullptr, streaming};
}

void ClipSound::tellNews() {
    if (arrived_) {
        const Load load = *std::exchange(arrived_, std::nullopt);
        if (load.sound) {
            sound_ = Playable{load.sound->format, load.sound->sampleCount, 0, load.sound};
            linkage_ = String();
            // A streaming sound plays as it comes.
            if (load.streaming) start(0, 1);
        }
        events_.soundLoaded(load.sound != nullptr);
        return;
    }
    if (playing_ && playing_->ended && !endTold_) {
        endTold_ = true;
        events_.soundCompleted();
    }
}

ScriptSounds::ScriptSounds(Player& player) : player_(player), movie_(std::make_shared<SoundScope>()) {
    movie_->wholeMovie = true;
}

std::unique_ptr<kinolux::avm1::SoundBinding> ScriptSounds::create(DisplayObject* owner,
                                                                 kinolux::avm1::SoundEvents& events) {
    return std::make_unique<ClipSound>(*this, scopeOf(owner), events);
}

std::shared_ptr<SoundScope> ScriptSounds::scopeOf(DisplayObject* owner) {
    if (!owner) return movie_;
    std::erase_if(clips_, [](const std::weak_ptr<SoundScope>& scope) { return scope.expired(); });
    for (const auto& weak : clips_) {
        auto scope = weak.lock();
        if (scope->owner.lock().get() == owner) return scope;
    }
    auto scope = std::make_shared<SoundScope>();
    scope->owner = owner->weak_from_this();
    clips_.push_back(scope);
    return scope;
}

void ScriptSounds::stopStarted(SoundScope* scope, const std::optional<String>& linkage) {
    if (scope->wholeMovie && !linkage) return stopAll();
    auto stopIn = [&](SoundScope& in) {
        for (const SoundScope::Started& started : in.started)
            if (!linkage || sameLinkage(started.linkage, *linkage)) started.channel->stopRequested = true;
    };
    if (!scope->wholeMovie) return stopIn(*scope);
    stopIn(*movie_);
    for (const auto& weak : clips_)
        if (auto clip = weak.lock()) stopIn(*clip);
}

void ScriptSounds::stopAll() {
    QueuedSound queued;
    queued.stopAll = true;
    player_.queueSound(std::move(queued));
}

void ScriptSounds::levelsChanged(SoundScope& scope) {
    if (scope.wholeMovie) {
        player_.mixerLevels() = scope.levels();
        return;
    }
    // The clip's levels reach every sound it and its children play, its
    // timeline's too.
    if (const auto owner = scope.owner.lock()) owner->soundLevels = scope.levels();
}

void ScriptSounds::follow() {
    auto over = [](const SoundScope::Started& s) { return s.channel->ended || s.channel->stopRequested; };
    std::erase_if(movie_->started, over);
    for (const auto& weak : clips_)
        if (auto clip = weak.lock()) std::erase_if(clip->started, over);
    // A script told of its sound may make or drop Sound objects.
    const std::vector<ClipSound*> told = sounds_;
    for (ClipSound* sound : told)
        if (std::find(sounds_.begin(), sounds_.end(), sound) != sounds_.end()) sound->tellNews();
}

}  // namespace flash
