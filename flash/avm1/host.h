// What the ActionScript 1/2 machine needs from the player around it, and
// what the player must call when.
//
// The player core owns the display list; every display object that scripts
// can see (movie clips, buttons, text fields) implements one of the binding
// interfaces below. The machine (Vm, vm.h) owns the script objects: each
// binding carries a counted reference to its script object, so properties a
// script stores on a clip live exactly as long as the clip does.
//
// Calling order the player must keep (the Flash player's observable order):
//
//  1. Loading a movie: create the root clip of level 0, call
//     Vm::constructDisplayObject for it, then run frame 1 as in step 2.
//  2. Entering a frame of a timeline (the root and every playing clip, the
//     root first, children in depth order):
//     a. apply the frame's control tags to the display list (PlaceObject,
//        RemoveObject...) in their order, running each DoInitAction where
//        it stands (Vm::runInitActions, once per sprite for the whole
//        movie), so that the classes it registers serve the objects placed
//        after it. Every display object the player creates, whether the
//        timeline placed it or a script asked for it (attachMovie,
//        duplicateMovieClip, createEmptyMovieClip, createTextField), runs
//        its onClipEvent(initialize) bodies, builds its first frame, then
//        gets its onClipEvent(construct) bodies and
//        Vm::constructDisplayObject (with the init object the script
//        passed; it calls an onConstruct method and the registered class).
//        The timeline's objects of that first frame are constructed right
//        after the object holding them.
//     b. queue the frame's DoAction scripts; after the whole display list
//        of the frame is built, run the queue (Vm::runFrameActions) in the
//        order the timelines were entered.
//     c. dispatch the clip events of the frame: onClipEvent(load) bodies
//        (Vm::runClipActions) and the onLoad method (Vm::callMethod with
//        u"onLoad") of objects placed in this frame, after their first
//        frame's actions; onClipEvent(enterFrame) and onEnterFrame for every
//        clip already on stage, before the frame's actions of that clip.
//  3. A goto issued by a script (MovieClipBinding::gotoFrame and friends)
//     must rebuild the display list of the target frame at once, so that
//     the next line of the script sees the new children; the target frame's
//     DoAction scripts are queued and run after the current script ends.
//  4. Removing a display object: dispatch onClipEvent(unload) and the
//     onUnload method first (those of the objects inside it before its
//     own), then call detachFromScript() on the binding
//     (the binding's destructor does this too). References that scripts
//     still hold then resolve by path again, as in the Flash player. A clip
//     with onClipEvent(unload) bodies (or holding one) has its handlers
//     queued instead and stays, found by name, until the frame ends; its
//     other queued scripts no longer run.
//  5. Once per frame (or whenever the player's clock advances) call
//     Vm::runTimers so that setInterval / setTimeout callbacks run on the
//     player's clock, not the wall clock. Then call Vm::endFrame: values a
//     script leaves on the stack are there for the frame's later scripts,
//     as in the player, but not for the next frame's.
//  6. Mouse, key and stage events go to Vm::notify* (listener broadcasts)
//     and to Vm::callMethod (onPress, onRelease, onRollOver... on buttons
//     and clips); button actions from DefineButton2 to Vm::runButtonActions.
//  7. Call nothing on the machine while it runs a script, except from
//     inside a binding method the machine called (re-entrancy is allowed
//     there: a goto may construct the new clips on the spot).
//
// Strings cross this interface as avm1::String (UTF-16). All coordinates are
// in pixels, angles in degrees, scales and alpha in percent, as scripts see
// them; the machine does the value coercions, the binding stores.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "flash/avm1/gc.h"
#include "flash/avm1/string.h"
#include "flash/avm1/value.h"
#include "flash/script/drawing.h"

namespace kinolux::avm1 {

class Object;
class Vm;

// A run of bytecode (DoAction, DoInitAction, a clip event or button action
// body) and the movie it comes from. `data` shares ownership of the movie's
// bytes, so the machine may keep functions defined in it after the tag is
// gone.
struct ActionBlock {
    std::shared_ptr<const std::uint8_t> data;
    std::size_t size = 0;
    int swfVersion = 0;

    // Keeps `owner` alive for as long as the block (or a function defined
    // in it) exists; `bytes` must point into memory `owner` keeps.
    template <class Owner>
    static ActionBlock inside(std::shared_ptr<Owner> owner, std::span<const std::uint8_t> bytes,
                              int swfVersion) {
        return {std::shared_ptr<const std::uint8_t>(std::move(owner), bytes.data()), bytes.size(),
                swfVersion};
    }
    // A private copy of the bytes.
    static ActionBlock copyOf(std::span<const std::uint8_t> bytes, int swfVersion);
};

enum class DisplayKind : std::uint8_t { MovieClip, Button, TextField, Video, Other };

// The display properties, numbered as GetProperty / SetProperty number them.
enum class DisplayProperty : int {
    X = 0, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height,
    Rotation, Target, FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect,
    SoundBufTime, Quality, XMouse, YMouse,
};
constexpr int kDisplayPropertyCount = 22;

using script::Bounds;
using script::GradientFill;
using script::LineStyle;
using script::Matrix;
using script::Point;

// Multipliers 1.0 = 100 %; offsets -255..255.
struct ColorTransform {
    double redMultiplier = 1, greenMultiplier = 1, blueMultiplier = 1, alphaMultiplier = 1;
    double redOffset = 0, greenOffset = 0, blueOffset = 0, alphaOffset = 0;
};

// Common to every display object scripts can reach.
class DisplayObjectBinding {
public:
    DisplayObjectBinding() = default;
    DisplayObjectBinding(const DisplayObjectBinding&) = delete;
    DisplayObjectBinding& operator=(const DisplayObjectBinding&) = delete;
    virtual ~DisplayObjectBinding();

    virtual DisplayKind kind() const = 0;
    virtual String name() const = 0;
    // A child by instance name: clips and buttons have them.
    virtual DisplayObjectBinding* childByName(const String& name, bool caseSensitive) const {
        (void)name, (void)caseSensitive;
        return nullptr;
    }
    virtual void setName(const String& name) = 0;
    virtual DisplayObjectBinding* parent() const = 0;
    virtual int depth() const = 0;
    // The SWF version of the movie this object comes from.
    virtual int swfVersion() const = 0;
    // The _root this object sees: the root clip of its level, or the
    // nearest clip with _lockroot set in a loaded movie.
    virtual DisplayObjectBinding* root() const = 0;
    // For the root clip of a level: its number (N of _levelN).
    virtual std::optional<int> levelNumber() const { return std::nullopt; }
    // The name its symbol is exported under (ExportAssets), empty when
    // none; Object.registerClass binds classes to these names.
    virtual String exportName() const { return {}; }
    // Whether its symbol is exported under `linkage` (a symbol may be
    // exported under several names, each of which registerClass can bind).
    virtual bool exportedAs(const String& linkage, bool caseSensitive) const {
        return exportName().equals(linkage.view(), caseSensitive);
    }

    // Numeric display properties (_x, _y, _xscale, _yscale, _alpha,
    // _visible as 0/1, _width, _height, _rotation, _currentframe,
    // _totalframes, _framesloaded, _xmouse, _ymouse). Stage-wide ones
    // (_quality, _highquality, _focusrect, _soundbuftime) go to the Host.
    virtual double property(DisplayProperty p) const = 0;
    // Called with finite values only; _rotation already in -180..180.
    virtual void setProperty(DisplayProperty p, double value) = 0;

    virtual Matrix matrix() const { return {}; }
    virtual void setMatrix(const Matrix&) {}
    virtual ColorTransform colorTransform() const { return {}; }
    virtual void setColorTransform(const ColorTransform&) {}
    // Bounds in the coordinate space of `space` (this object when null).
    virtual Bounds bounds(const DisplayObjectBinding* space) const;
    virtual Point localToGlobal(Point p) const { return p; }
    virtual Point globalToLocal(Point p) const { return p; }
    virtual bool hitTestPoint(double stageX, double stageY, bool shapeFlag) const;
    virtual bool hitTestObject(const DisplayObjectBinding& other) const;
    // The display object under a dragged clip, if any.
    virtual DisplayObjectBinding* dropTarget() const { return nullptr; }
    virtual String url() const { return {}; }
    virtual String blendMode() const { return String(u"normal"); }
    virtual void setBlendMode(const String&) {}
    virtual bool cacheAsBitmap() const { return false; }
    virtual void setCacheAsBitmap(bool) {}
    virtual bool enabled() const { return true; }
    virtual void setEnabled(bool) {}
    virtual bool useHandCursor() const { return true; }
    virtual void setUseHandCursor(bool) {}

    // Moves this object to another depth of its parent (swapping with the
    // object there); false when the player refuses.
    virtual bool swapDepths(int depth) { (void)depth; return false; }
    // removeMovieClip / removeTextField (the machine has checked that the
    // object is at a depth scripts may remove from).
    virtual void removeFromScript() {}

    // Ends the link with the script object; references scripts still hold
    // fall back to finding the object by its path. Idempotent.
    void detachFromScript();
    // The script object the machine made for this display object, if any.
    Object* scriptObject() const { return scriptObject_.get(); }

private:
    friend class Vm;
    Ref<Object> scriptObject_;
};

// What a drawing-API call appends to a clip's dynamic vector shape.
// Positions are in pixels, finite and within the 32-bit twip range.
class DrawingTarget {
public:
    virtual void clearDrawing() {}
    virtual void lineStyle(const LineStyle&) {}
    virtual void beginFill(std::uint32_t rgb, double alphaPercent) { (void)rgb, (void)alphaPercent; }
    virtual void beginGradientFill(const GradientFill&) {}
    // Paints the current line with a gradient (SWF 8).
    virtual void lineGradientStyle(const GradientFill&) {}
    virtual void moveTo(double x, double y) { (void)x, (void)y; }
    virtual void lineTo(double x, double y) { (void)x, (void)y; }
    virtual void curveTo(double cx, double cy, double x, double y) { (void)cx, (void)cy, (void)x, (void)y; }
    virtual void endFill() {}

protected:
    ~DrawingTarget() = default;
};

class MovieClipBinding : public DisplayObjectBinding, public DrawingTarget {
public:
    DisplayKind kind() const override { return DisplayKind::MovieClip; }

    // ---- children ----
    DisplayObjectBinding* childByName(const String& name, bool caseSensitive) const override = 0;
    virtual DisplayObjectBinding* childAtDepth(int depth) const = 0;
    // Children in rendering order (lowest depth first).
    virtual std::vector<DisplayObjectBinding*> children() const = 0;
    virtual int nextHighestDepth() const = 0;

    // ---- timeline (frames are 1-based) ----
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    virtual void nextFrame() = 0;
    virtual void prevFrame() = 0;
    // Goes to `frame` (clamped to the timeline by the player), playing or
    // stopped, rebuilding the display list at once (see the calling order).
    virtual void gotoFrame(int frame, bool play) = 0;
    // The frame a label names (label matching ignores case below SWF 7).
    virtual std::optional<int> frameOfLabel(const String& label) const = 0;
    // The first frame of the scene that follows/precedes the current one,
    // for nextScene/prevScene; nullopt when there is none.
    virtual std::optional<int> sceneStart(int offset) const { (void)offset; return std::nullopt; }
    // The DoAction blocks of a frame, for the Call action.
    virtual std::vector<ActionBlock> frameActions(int frame) const = 0;

    // ---- script-made children, constructed by the player as it places
    //      them (Vm::constructDisplayObject with `initObject`) ----
    virtual MovieClipBinding* createEmptyMovieClip(const String& name, int depth) = 0;
    // An instance of the symbol exported under `linkage`; nullptr when the
    // movie exports no such symbol.
    virtual DisplayObjectBinding* attachMovie(const String& linkage, const String& name, int depth,
                                              const ObjectRef& initObject) = 0;
    // A copy of this clip as a sibling (same parent), clip events included.
    // `depth` is final: the machine has taken off the 16384 that compilers
    // add to the depth of the duplicateMovieClip action.
    virtual DisplayObjectBinding* duplicate(const String& name, int depth, const ObjectRef& initObject) = 0;
    virtual DisplayObjectBinding* createTextField(const String& name, int depth, double x,
                                                  double y, double width, double height) = 0;

    // ---- others ----
    virtual void setMask(DisplayObjectBinding* mask) { (void)mask; }
    virtual std::uint32_t bytesLoaded() const { return 0; }
    virtual std::uint32_t bytesTotal() const { return 0; }
    virtual bool lockRoot() const { return false; }
    // The characters of the clip's static texts (TextSnapshot).
    virtual String staticText() const { return {}; }
    virtual void setLockRoot(bool) {}
};

enum class TextFieldProperty : std::uint8_t {
    Text, HtmlText, Html, TextColor, TextWidth, TextHeight, Length, AutoSize, Background,
    BackgroundColor, Border, BorderColor, Multiline, WordWrap, Selectable, Type, MaxChars,
    Restrict, Variable, Scroll, MaxScroll, HScroll, MaxHScroll, BottomScroll, EmbedFonts,
    Password, CondenseWhite, AntiAliasType, Sharpness, Thickness, GridFitType, MouseWheelEnabled,
};

struct TextFormat {
    std::optional<String> font, url, target, align;
    std::optional<double> size, color, leftMargin, rightMargin, indent, leading, blockIndent,
        letterSpacing;
    std::optional<bool> bold, italic, underline, bullet, kerning;
    std::optional<std::vector<double>> tabStops;
};

// Pixels.
struct TextExtent {
    double ascent = 0, descent = 0, width = 0, height = 0, textFieldWidth = 0, textFieldHeight = 0;
};

class TextFieldBinding : public DisplayObjectBinding {
public:
    DisplayKind kind() const override { return DisplayKind::TextField; }
    // Values in script terms: strings, numbers, booleans.
    virtual Value textProperty(TextFieldProperty p) const = 0;
    virtual void setTextProperty(TextFieldProperty p, const Value& v) = 0;
    // Range -1 means the whole text (or the new-text format).
    virtual TextFormat textFormat(int begin, int end) const { (void)begin, (void)end; return {}; }
    virtual void setTextFormat(int begin, int end, const TextFormat&) { (void)begin, (void)end; }
    virtual TextFormat newTextFormat() const { return {}; }
    virtual void setNewTextFormat(const TextFormat&) {}
    virtual void replaceText(int begin, int end, const String& text) { (void)begin, (void)end, (void)text; }
    // The selection typing goes to (nullopt when the field has none yet);
    // the caret is the end that moves.
    struct Selection {
        int begin, end, caret;
    };
    virtual std::optional<Selection> selection() const { return std::nullopt; }
    virtual void setSelection(int anchor, int caret) { (void)anchor, (void)caret; }
    virtual void replaceSelection(const String& text) { (void)text; }
    // The field's style sheet as the formats its styles stand for, by
    // selector (a tag name, or "." and a class name, in lower case);
    // nullopt takes the sheet away.
    using StyleFormats = std::vector<std::pair<String, TextFormat>>;
    virtual void setStyleSheet(std::optional<StyleFormats> formats) { (void)formats; }
};

class ButtonBinding : public DisplayObjectBinding {
public:
    DisplayKind kind() const override { return DisplayKind::Button; }
};

// How much of each input channel each side plays, in percent, by
// Sound.getTransform's names: ll (left input, left side), lr (right input,
// left side), rl (left input, right side), rr.
using SoundMix = std::array<double, 4>;
constexpr SoundMix kUnchangedSoundMix{100, 0, 0, 100};

// A sound object made by `new Sound(target)`.
class SoundBinding {
public:
    virtual ~SoundBinding() = default;
    // The sound exported under `linkage`; false when there is none.
    virtual bool attachSound(const String& linkage) = 0;
    virtual void start(double offsetSeconds, int loops) = 0;
    // Stops this sound; with a linkage name, stops that sound instead.
    virtual void stop(const std::optional<String>& linkage) = 0;
    virtual double volume() const = 0;
    virtual void setVolume(double percent) = 0;
    virtual double pan() const = 0;
    virtual void setPan(double pan) = 0;
    virtual SoundMix mix() const = 0;
    virtual void setMix(const SoundMix& mix) = 0;
    // Nothing while no sound is attached or loaded.
    virtual std::optional<double> durationMs() const { return std::nullopt; }
    virtual std::optional<double> positionMs() const { return std::nullopt; }
    virtual void loadSound(const String& url, bool streaming) { (void)url, (void)streaming; }
};

// Sent by the player when the sound of a SoundBinding ends or loads; the
// machine calls onSoundComplete / onLoad on the script object.
class SoundEvents {
public:
    virtual void soundCompleted() = 0;
    virtual void soundLoaded(bool success) = 0;

protected:
    ~SoundEvents() = default;
};

enum class HttpMethod : std::uint8_t { None, Get, Post };

// The player and the world outside the movie.
class Host {
public:
    virtual ~Host() = default;

    // One trace() line, UTF-8, without the line feed.
    virtual void trace(std::string_view line) = 0;
    // A script was stopped (time limit, recursion, memory) or the bytecode
    // was damaged; the message is meant for the user.
    virtual void scriptError(std::string_view message) = 0;

    // Milliseconds since the movie started, on the player's clock (getTimer,
    // setInterval).
    virtual double timerMilliseconds() = 0;
    // Runs the clip events and frame scripts a timer's callback queued.
    virtual void runQueuedScripts() {}
    // Milliseconds since 1970 UTC, for Date (defaults to the system clock).
    virtual double wallClockMilliseconds();
    // Local time minus UTC in minutes at a given UTC time, for Date.
    virtual double localTimeOffsetMinutes(double utcMilliseconds);

    // The root clip of _levelN, nullptr when that level is empty.
    virtual DisplayObjectBinding* level(int n) = 0;

    // getURL, loadMovie, loadVariables and fscommand, as the actions ask.
    // `target` is the window name (getURL), or the clip or level to load into.
    virtual void getUrl(const String& url, const String& window, HttpMethod method,
                        const std::vector<std::pair<String, String>>& variables);
    virtual void fsCommand(const String& command, const String& args);
    virtual void loadMovie(DisplayObjectBinding* target, std::optional<int> level,
                           const String& url, HttpMethod method);
    virtual void unloadMovie(DisplayObjectBinding* target, std::optional<int> level);
    // MovieClipLoader.loadClip: loadMovie whose progress (onLoadStart,
    // onLoadProgress, onLoadComplete, onLoadInit or onLoadError) goes to
    // the loader's broadcastMessage.
    virtual void loadClip(DisplayObjectBinding* target, std::optional<int> level, const String& url,
                          const ObjectRef& loader) {
        (void)loader;
        loadMovie(target, level, url, HttpMethod::None);
    }
    // Fetches url-encoded variables for a clip; the player later hands the
    // text to Vm::deliverVariables (or Vm::failVariables).
    virtual void loadVariables(DisplayObjectBinding* target, std::optional<int> level,
                               const String& url, HttpMethod method,
                               const std::vector<std::pair<String, String>>& variables);
    // Fetches text for LoadVars / XML; the player later calls
    // Vm::completeRequest(id, ...). Returns false when it cannot start.
    virtual bool requestText(std::uint32_t id, const String& url, HttpMethod method,
                             const std::string& body);

    // ---- stage ----
    virtual double stageWidth() { return 550; }
    virtual double stageHeight() { return 400; }
    virtual String stageScaleMode() { return String(u"showAll"); }
    virtual void setStageScaleMode(const String&) {}
    virtual String stageAlign() { return {}; }
    virtual void setStageAlign(const String&) {}
    virtual bool showMenu() { return true; }
    virtual void setShowMenu(bool) {}
    virtual String quality() { return String(u"HIGH"); }
    virtual void setQuality(const String&) {}
    virtual void toggleQuality() {}
    virtual double soundBufferTime() { return 5; }
    virtual void setSoundBufferTime(double) {}
    virtual Value focusRect() { return Value::null(); }
    virtual void setFocusRect(const Value&) {}

    // ---- input ----
    virtual Point mousePosition() { return {}; }  // stage pixels
    virtual void setMouseVisible(bool) {}
    virtual bool isKeyDown(int keyCode) { (void)keyCode; return false; }
    virtual bool isKeyToggled(int keyCode) { (void)keyCode; return false; }
    virtual int lastKeyCode() { return 0; }
    virtual int lastKeyAscii() { return 0; }
    virtual void startDrag(DisplayObjectBinding& target, bool lockCenter,
                           const std::optional<Bounds>& constraint);
    virtual void stopDrag() {}
    virtual DisplayObjectBinding* focus() { return nullptr; }
    virtual bool setFocus(DisplayObjectBinding* target) { (void)target; return false; }

    // ---- sound ----
    virtual void stopAllSounds() {}
    // A sound object for `new Sound(owner)`; owner is null for a global one.
    virtual std::unique_ptr<SoundBinding> createSound(DisplayObjectBinding* owner, SoundEvents& events);

    // ---- text ----
    // The size `text` takes in `format` (TextFormat.getTextExtent), wrapped
    // to `width` pixels when there is one.
    virtual TextExtent measureText(const TextFormat& format, const String& text, std::optional<double> width) {
        (void)format, (void)text, (void)width;
        return {};
    }

    // ---- system ----
    // System.capabilities values the player wants to report ("os",
    // "screenResolutionX"...); nullopt keeps the machine's default.
    virtual std::optional<Value> capability(std::u16string_view name) { (void)name; return std::nullopt; }
};

}  // namespace kinolux::avm1
