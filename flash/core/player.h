// The player core: one movie, its library and main timeline, advanced one
// frame per tick by whoever drives it (no clock inside). Scripts and sound
// attach through the queues it fills.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/library.h"
#include "flash/core/movie_clip.h"
#include "flash/swf/types.h"

namespace flash {

// Action bytecode waiting for a script engine: frame actions, init actions
// (event = the sprite id) and clip event handlers (event = the ClipEvent bit).
struct QueuedAction {
    enum Kind { Frame, Init, ClipEvent };
    std::weak_ptr<DisplayObject> target;
    swf::Bytes actions;
    Kind kind = Frame;
    std::uint32_t event = 0;
};

// StartSound, StartSound2, SoundStreamHead and SoundStreamBlock tags met
// while frames ran, for the sound engine.
struct QueuedSound {
    std::weak_ptr<DisplayObject> clip;
    const swf::TagBody* tag = nullptr;
};

class Player {
public:
    // Throws swf::Error when the bytes are not a readable movie.
    explicit Player(swf::Bytes file);
    explicit Player(swf::Movie movie);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    const swf::Movie& movie() const { return movie_; }
    // Distinct for every player the process creates (for caches keyed on a player).
    std::uint64_t serial() const { return serial_; }
    const swf::Header& header() const { return movie_.header; }
    std::uint8_t swfVersion() const { return movie_.header.version; }
    const Library& library() const { return library_; }
    double frameRate() const { return movie_.header.frameRate / 256.0; }
    QRectF stageRect() const;  // twips
    swf::Color backgroundColor() const { return background_; }

    MovieClip& root() { return *root_; }
    const MovieClip& root() const { return *root_; }

    // Runs the next frame of every playing timeline, then the action runner.
    void tick();
    // Milliseconds since the movie started, on the clock of whoever drives
    // the player (the core never reads a clock): set before every tick and
    // whenever that clock is read, so script timers and getTimer follow the
    // same clock as the frames, virtual or real.
    void setMovieTime(std::uint32_t ms) { movieTime_ = ms; }
    std::uint32_t movieTime() const { return movieTime_; }
    void play() { root_->play(); }
    void stop() { root_->stop(); }
    bool isPlaying() const { return root_->isPlaying(); }
    int currentFrame() const { return root_->currentFrame(); }  // 0-based
    int totalFrames() const { return root_->totalFrames(); }
    void gotoFrame(int frame) { root_->gotoFrame(*this, frame); runActions(); }

    // "a.b.c" from the root, each step a child's instance name.
    DisplayObject* findByPath(const std::string& path) const;

    std::vector<QueuedAction>& actions() { return actions_; }
    std::vector<QueuedSound>& sounds() { return sounds_; }
    void queueAction(QueuedAction a) { actions_.push_back(std::move(a)); }
    void queueSound(QueuedSound s) { sounds_.push_back(std::move(s)); }
    // Queues the handlers of obj for a clip event, if it has any.
    void queueClipEvent(const std::shared_ptr<DisplayObject>& obj, std::uint32_t event);
    // Called after every tick and goto; a script engine drains actions() here.
    void setActionRunner(std::function<void(Player&)> runner) { runner_ = std::move(runner); }

    // Guards against movies whose sprites contain themselves or multiply
    // without end: clips and buttons built inside one another stop at a
    // nesting depth, and the player stops creating objects at a count.
    static constexpr int kMaxNesting = 64;
    static constexpr std::size_t kMaxObjects = 100000;
    class NestingGuard {
    public:
        explicit NestingGuard(Player& p) : player_(p) { ++player_.nesting_; }
        ~NestingGuard() { --player_.nesting_; }
        explicit operator bool() const { return player_.nesting_ <= kMaxNesting; }
        NestingGuard(const NestingGuard&) = delete;
        NestingGuard& operator=(const NestingGuard&) = delete;

    private:
        Player& player_;
    };
    // A counter shared with every object the player creates; null when the
    // object budget is spent.
    std::shared_ptr<std::size_t> objectToken();

private:
    void start();
    void runActions();

    swf::Movie movie_;
    Library library_;
    Timeline timeline_;
    std::shared_ptr<MovieClip> root_;
    swf::Color background_{255, 255, 255, 255};
    std::vector<QueuedAction> actions_;
    std::vector<QueuedSound> sounds_;
    std::function<void(Player&)> runner_;
    int nesting_ = 0;
    std::uint64_t serial_;
    std::uint32_t movieTime_ = 0;
    std::shared_ptr<std::size_t> liveObjects_ = std::make_shared<std::size_t>(0);
};

}  // namespace flash
