// The player core: one movie, its library and main timeline, its scripts
// and the input its owner feeds it, advanced one frame per tick by whoever
// drives it. It reads no clock: time is what its owner says it is (or one
// frame period per tick when the owner says nothing).
#pragma once

#include <QPainterPath>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "flash/core/device_fonts.h"
#include "flash/core/input.h"
#include "flash/core/library.h"
#include "flash/core/movie_clip.h"
#include "flash/core/movie_scripts.h"
#include "flash/core/render_services.h"
#include "flash/core/script_sound.h"
#include "flash/core/timeline_scripts.h"
#include "flash/script/limits.h"
#include "flash/swf/types.h"

namespace flash {

class Button;
class EditText;
class MovieLoader;
class RenderServices;

// StartSound, StartSound2, SoundStreamHead and SoundStreamBlock tags met
// while frames ran, for the sound engine.
// A button's sound for a state change comes with no tag: `buttonSound`
// names the sound, in the ids of `library`. Scripts queue their sounds as
// a `channel` to start, or `stopAll`.
struct QueuedSound {
    std::weak_ptr<DisplayObject> clip;
    const swf::TagBody* tag = nullptr;
    const swf::ButtonSound* buttonSound = nullptr;
    const Library* library = nullptr;
    std::shared_ptr<ScriptSoundChannel> channel = nullptr;
    bool stopAll = false;
};

using TraceHandler = std::function<void(std::string_view line)>;

struct PlayerOptions {
    // Where the movie was read from (a file path). Files the movie loads
    // (loadMovie, loadVariables, imports) are looked up beside it; with no
    // path it loads nothing.
    std::string path;
    kinolux::script::ScriptLimits scriptLimits;
    // Receives each trace() line as it happens (see setTraceHandler).
    TraceHandler trace;
    // Seeds random(): one seed plays a movie the same way every time.
    std::uint32_t randomSeed = 0;
    // The date and time the movie starts at (milliseconds since 1970 UTC),
    // which Date counts on from with the player's clock, and the local time
    // zone's offset from UTC in minutes (unset: the system's).
    double startDateMs = 0;
    std::optional<double> timeZoneMinutes;
    // Makes what BitmapData.draw and applyFilter draw with (the renderer's
    // makeBitmapServices), on first use; without it they leave the pixels
    // as they are.
    RenderServicesMaker renderServices = nullptr;
    // The system fonts text fields without embedded fonts are measured in
    // (the renderer draws them in its own, set alike).
    DeviceFonts deviceFonts;
};

class Player {
public:
    // A movie read from a file, which also becomes options.path; null with
    // a message in *error when it cannot be read.
    static std::unique_ptr<Player> fromFile(const std::string& path, PlayerOptions options, std::string* error);
    // Throws swf::Error when the bytes are not a readable movie.
    explicit Player(swf::Bytes file, PlayerOptions options = {});
    explicit Player(swf::Movie movie, PlayerOptions options = {});
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    const swf::Movie& movie() const { return library_->movie(); }
    // Distinct for every player the process creates (for caches keyed on a player).
    std::uint64_t serial() const { return serial_; }
    const swf::Header& header() const { return movie().header; }
    std::uint8_t swfVersion() const { return movie().header.version; }
    const Library& library() const { return *library_; }
    const DeviceFonts& deviceFonts() const { return options_.deviceFonts; }
    double frameRate() const { return movie().header.frameRate / 256.0; }
    QRectF stageRect() const;  // twips
    QSize stageSize() const;   // whole pixels, at least 1x1
    swf::Color backgroundColor() const { return background_; }

    MovieClip& root() { return *levels_.at(0); }
    const MovieClip& root() const { return *levels_.at(0); }
    // The root clips of the levels, lowest first (drawn in this order).
    const std::map<int, std::shared_ptr<MovieClip>>& levels() const { return levels_; }

    // The bytes of a file beside the movie, for the scripts' loaders;
    // nullopt when there is none or the address leads elsewhere.
    std::optional<std::vector<std::uint8_t>> readBesideMovie(const std::string& url) const;
    const std::string& moviePath() const { return options_.path; }

    // ---- driving ----
    // Runs the next frame of every playing timeline and its scripts. Unless
    // the owner sets the time, the clock moves one frame period as each
    // frame ends, and the timers due by then run.
    void tick();
    // The time on the owner's clock, in milliseconds since the movie
    // started; timers that fall due run now.
    void setMovieTime(double milliseconds);
    double movieTime() const { return clockMs_; }
    void play() { root().play(); }
    void stop() { root().stop(); }
    bool isPlaying() const { return root().isPlaying(); }
    int currentFrame() const { return root().currentFrame(); }  // 0-based
    int totalFrames() const { return root().totalFrames(); }
    void gotoFrame(int frame);  // 0-based, keeps playing or stopped

    // ---- input, in stage pixels and Flash key codes ----
    enum class MouseButton { Left, Right, Middle };
    void mouseMove(double x, double y);
    // Scripts see the left button only; the others matter to the focus
    // rectangle alone.
    // `doubleClick`: the press is the second of a double click.
    void mouseDown(MouseButton button = MouseButton::Left, bool doubleClick = false);
    void mouseUp(MouseButton button = MouseButton::Left);
    // `location`: 0, or which of a pair of keys (1 left, 2 right), or 3 for
    // the number pad's.
    void keyDown(int keyCode, int charCode, int location = 0);
    void keyUp(int keyCode, int charCode, int location = 0);
    // A character typed and an editing key, for the text field that has the
    // focus; the clipboard they copy to and paste from.
    void textInput(char32_t codepoint);
    void textControl(TextControl control);
    void setClipboardText(const QString& text) { input_.clipboard = text; }
    const QString& clipboardText() const { return input_.clipboard; }
    // The window showing the movie lost the keyboard: the object holding the
    // focus loses it.
    void windowFocusLost();
    // Whether the pointer is over something that shows the hand cursor.
    bool handCursor() const;
    // The object Tab gave focus to while its yellow rectangle shows; null
    // when none shows.
    const DisplayObject* focusHighlight() const;

    // ---- what scripts say ----
    // Lines traced before a handler is set are kept (up to a limit) and
    // handed to it when it is set.
    void setTraceHandler(TraceHandler handler);
    // Scripts stopped by a limit, damaged bytecode and files that could
    // not be loaded, one message each (the first thousand).
    const std::vector<std::string>& scriptErrors() const { return scriptErrors_; }
    // A request from the movie to its host (fscommand "quit" and friends).
    bool quitRequested() const { return quit_; }
    void fsCommand(const kinolux::script::String& command, const kinolux::script::String& args);
    // A script was stopped by a limit, its bytecode was damaged or a file
    // could not be loaded; the message is meant for the user.
    void scriptError(std::string_view message);

    // "a.b.c" from the root, each step a child's instance name.
    DisplayObject* findByPath(const std::string& path) const;

    std::vector<QueuedSound>& sounds() { return sounds_; }
    void queueSound(QueuedSound s) { sounds_.push_back(std::move(s)); }
    // Every sound of the movie passes through these levels (a script's
    // SoundMixer.soundTransform).
    ScriptSoundLevels& mixerLevels() { return mixerLevels_; }

    // Guards against movies whose sprites contain themselves or multiply
    // without end: clips and buttons built inside one another stop at a
    // nesting depth, and the player stops creating objects at a count.
    static constexpr int kMaxNesting = 64;
    static constexpr std::size_t kMaxObjects = 100000;
    // A button's state objects are built when it first needs them, and a
    // button whose states hold buttons multiplies with every level: at most
    // this many are built in a frame, the rest of the states stay empty.
    static constexpr int kMaxButtonStatesPerFrame = 4096;
    bool mayBuildButtonState() { return buttonStatesThisFrame_++ < kMaxButtonStatesPerFrame; }
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

    // ---- for the display objects and their bindings ----
    // The machine that runs the timeline's actions (every movie has one;
    // an ActionScript 3 movie's has nothing to run).
    TimelineScripts& timelineScripts() { return *timelineScripts_; }
    bool scriptsEnabled() const { return scriptsEnabled_; }
    // Whether the timeline machine runs an object's actions: every
    // object's in an ActionScript 1/2 movie, and in an ActionScript 3 one
    // those of the ActionScript 1/2 movies its Loaders show.
    bool runsActions(const DisplayObject& object) const;
    // Milliseconds since 1970 UTC on the movie's clock, and the local time
    // zone's offset from UTC at a time, in minutes, for the scripts' dates.
    double wallClockMilliseconds() const { return options_.startDateMs + clockMs_; }
    double localTimeOffsetMinutes(double utcMilliseconds) const;
    // Puts an object the display list has just taken on the stage: clips
    // join the frame order, the script object is made (with the init
    // object) and a clip runs its first frame. False when its constructor
    // removed it.
    bool putOnStage(DisplayObject& object, const InitObject* init);
    // Takes an object off the stage: its unload handlers and those of what
    // it holds run, then scripts lose it.
    void takeOffStage(DisplayObject& object);
    // The timeline is about to take an object off its parent: scripts
    // hear of it while it is still there.
    void removingFromTimeline(DisplayObject& object) {
        if (as3_) as3_->removing(object);
    }
    // Whether taking an object off waits for its unload handlers (queued
    // by queueRemoval) until the end of the frame.
    bool delaysRemoval(const DisplayObject& object) const;
    void queueRemoval(DisplayObject& object);
    // Takes an object off the stage without running its handlers.
    void leaveStageNow(DisplayObject& object) { leaveStage(object); }
    // A clip that took on another movie starts again with a fresh script
    // object; its first frame comes with the next frame step, as a loaded
    // movie's does.
    void restartClip(MovieClip& clip);
    // A movie loaded into a level that had none: on stage with its script
    // object, its first frame left to the next frame step.
    void addLevel(const std::shared_ptr<MovieClip>& level);
    kinolux::script::String nextInstanceName();
    // Loads movies, variables and text for the scripts.
    MovieLoader& loader() { return *loader_; }
    // A DoInitAction, run where the timeline meets it (once per movie).
    void runInitActions(DisplayObject& clip, const ActionCode& code);
    // Queued script work, run after the frame's display list is built.
    void queueFrameActions(DisplayObject& clip, const ActionCode& code);
    void queueMethod(DisplayObject& object, std::u16string name, bool unload = false);
    // The handlers of a clip event: onClipEvent bodies and the method.
    void queueClipEvent(DisplayObject& object, std::uint32_t event);
    void runQueue();
    // Ties a text field to the variable it names: the variable takes the
    // field's text when it has no value, else the field shows the value.
    void bindTextVariable(EditText& field);
    // Shows the value the field's variable holds now; gives the variable
    // the text a script set.
    void refreshTextVariable(EditText& field);
    void storeTextVariable(EditText& field);
    // The focus leaves an object going out of sight or off the stage, and
    // anything in it.
    void loseFocusWithin(DisplayObject& object);
    // A line for the trace output (the player's own warnings too).
    void trace(std::string_view line);
    // Outlines of shapes for hit tests, built once.
    const QPainterPath& shapeOutline(const swf::DefineShape& shape);
    const QPainterPath& morphOutline(const swf::DefineMorphShape& morph, std::uint16_t ratio);
    // The topmost clip showing something at a stage point (_droptarget).
    DisplayObject* objectUnder(QPointF stagePixels);
    // Dragging an object (startDrag): its centre to the pointer or where
    // it is held, within a rectangle of its parent's pixels.
    void startDrag(DisplayObject& object, bool lockCenter, std::optional<QRectF> constraint);
    void stopDrag();
    // Gives the focus to an object (null takes it away), as a script asks;
    // false when the object cannot hold it.
    bool setFocus(DisplayObject* object);
    // Moves the focus (null takes it away) and tells the scripts.
    void changeFocus(DisplayObject* now);
    Input& input() { return input_; }
    // What the renderer lends the core (drawing into pixels); null when no
    // renderer is linked in.
    RenderServices* renderServices();

private:
    friend class MovieLoader;

    struct Work {
        enum Kind { Frame, Method, Transition };
        std::weak_ptr<DisplayObject> target;
        ActionCode code;
        std::u16string method;
        Kind kind = Frame;
        bool unload = false;  // runs even though its object is on its way out
        const MouseTransition* transition = nullptr;
    };

    void start();
    void runFrameStep();
    void endFrameClock();
    void updateDrag();
    bool isMouseTarget(DisplayObject& object);
    DisplayObject* pick(DisplayObject& object, QPointF stageTwips, bool interactive, const DisplayObject* skip);
    DisplayObject* mouseTarget();
    void transition(DisplayObject& object, const MouseTransition& t);
    void broadcastToClips(std::uint32_t clipEvent, std::u16string_view method);
    void updateHover();
    // Tab and Shift+Tab: the objects that take focus, in order, and the move.
    std::vector<DisplayObject*> tabOrder();
    void moveFocusByTab(bool backwards);
    // A script's boolean property of an object; nullopt when unset.
    std::optional<bool> scriptFlag(DisplayObject& object, std::u16string_view name);
    // The mouse moved (no button) or a button changed.
    void mouseUsed(std::optional<MouseButton> button, bool pressing);
    // What a click does to the focus (player_focus.cpp).
    DisplayObject* textFieldAt(DisplayObject& object, QPointF stageTwips, bool selectableOnly);
    void focusByClick();
    // The text field with the focus, and what follows a change of its text
    // by the user.
    EditText* focusedTextField();
    void textChangedByUser(EditText& field);
    // A click on a link in a text field: "asfunction:" calls a script
    // function, any other address goes to the host as getURL does.
    void followTextLink();
    // Focus that reaches a button, or a clip acting as one, rolls the mouse
    // off what it was over and onto the new holder, at once or (for a
    // script's setFocus) once the script is done; focus taken away (null)
    // rolls off the holder it had rolled onto.
    void hoverByFocus(DisplayObject* target, bool deferred);
    // The button or clip with the focus, which hears the keys first.
    std::shared_ptr<DisplayObject> focusedKeyTarget();
    // A timeline object placed while its parent built its first frame waits
    // for the parent's constructor, and those it holds wait for its own.
    struct PendingConstruct {
        std::weak_ptr<DisplayObject> object;
        std::vector<PendingConstruct> inside;
    };
    void construct(DisplayObject& object, const InitObject* init, std::vector<PendingConstruct>& inside);
    // The onClipEvent bodies of a clip for an event, run now.
    void runClipActions(DisplayObject& object, std::uint32_t event);
    void runUnloadHandlers(DisplayObject& object);
    void queueUnloadHandlers(DisplayObject& object);
    void finishRemovals();
    void leaveStage(DisplayObject& object);
    void updateTextVariables();
    const Library* importLibrary(const std::string& url);

    std::shared_ptr<const Library> library_;
    PlayerOptions options_;
    std::map<std::string, std::shared_ptr<const Library>> loadedLibraries_;
    std::unique_ptr<TimelineScripts> timelineScripts_;
    bool scriptsEnabled_ = true;
    std::map<int, std::shared_ptr<MovieClip>> levels_;
    swf::Color background_{255, 255, 255, 255};
    std::list<std::weak_ptr<MovieClip>> executionList_;  // newest first
    std::deque<Work> queue_;
    std::vector<const std::uint8_t*> initDone_;
    bool runningQueue_ = false;
    std::vector<PendingConstruct>* pendingConstructs_ = nullptr;
    std::vector<std::weak_ptr<DisplayObject>> pendingRemovals_;
    std::vector<QueuedSound> sounds_;
    ScriptSoundLevels mixerLevels_;
    std::vector<std::weak_ptr<EditText>> boundFields_;
    std::unique_ptr<MovieLoader> loader_;
    std::unique_ptr<RenderServices> renderServices_;
    Input input_;
    double clockMs_ = 0;
    bool clockFromOwner_ = false;
    int framesRun_ = 0;
    int instanceCounter_ = 0;
    int nesting_ = 0;
    int buttonStatesThisFrame_ = 0;
    bool quit_ = false;
    TraceHandler traceHandler_;
    std::vector<std::string> pendingTraces_;
    std::vector<std::string> scriptErrors_;
    bool focusHighlighted_ = false;
    std::unordered_map<const swf::DefineShape*, QPainterPath> shapeOutlines_;
    std::map<std::pair<const swf::DefineMorphShape*, std::uint16_t>, QPainterPath> morphOutlines_;
    std::uint64_t serial_;
    std::shared_ptr<std::size_t> liveObjects_ = std::make_shared<std::size_t>(0);
    std::unique_ptr<MovieScripts> as3_;  // ActionScript 3 movies only
};

}  // namespace flash
