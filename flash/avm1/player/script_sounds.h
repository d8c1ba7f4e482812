// The Sound objects of an ActionScript 1/2 movie, played by the player's
// sound engine as ActionScript 3's are (script_sound.h).
//
// A Sound belongs to a clip, or to the whole movie when made on none. Its
// volume and levels belong to that clip, so every Sound on one clip shares
// them; they apply to every sound the clip and its children play, their
// timelines' too, under the levels of the clip's parents. The movie's own
// apply to everything it plays. stop() stops the
// sounds started on the clip, or every sound for the movie's Sound.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "flash/avm1/host.h"
#include "flash/core/script_sound.h"

namespace flash {

class DisplayObject;
class Player;
class ClipSound;

// The levels of one clip (or of the movie) and the sounds started on it.
struct SoundScope {
    struct Started {
        std::shared_ptr<ScriptSoundChannel> channel;
        kinolux::avm1::String linkage;
    };

    std::weak_ptr<DisplayObject> owner;
    bool wholeMovie = false;
    double volume = 100;
    kinolux::avm1::SoundMix mix = kinolux::avm1::kUnchangedSoundMix;
    std::vector<Started> started;

    ScriptSoundLevels levels() const;
};

class ScriptSounds {
public:
    explicit ScriptSounds(Player& player);
    ScriptSounds(const ScriptSounds&) = delete;
    ScriptSounds& operator=(const ScriptSounds&) = delete;

    // A Sound on `owner`, or on the whole movie when it is null.
    std::unique_ptr<kinolux::avm1::SoundBinding> create(DisplayObject* owner, kinolux::avm1::SoundEvents& events);
    // Once a frame, after the sound engine heard what was queued: tells the
    // script objects whose sound ended or whose file came.
    void follow();
    // Every sound stops, the timeline's too.
    void stopAll();

private:
    friend class ClipSound;

    std::shared_ptr<SoundScope> scopeOf(DisplayObject* owner);
    void stopStarted(SoundScope* scope, const std::optional<kinolux::avm1::String>& linkage);
    void levelsChanged(SoundScope& scope);

    Player& player_;
    std::shared_ptr<SoundScope> movie_;
    std::vector<std::weak_ptr<SoundScope>> clips_;
    std::vector<ClipSound*> sounds_;  // every live one, in the order made
};

}  // namespace flash
