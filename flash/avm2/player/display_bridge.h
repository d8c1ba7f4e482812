// The player's display objects as ActionScript 3 sees them: one script
// object per display object, of its symbol's class or the default class of
// its kind, made when the timeline places the object (children before
// their parent, whose instance-name properties they fill) or when a script
// constructs a display class itself.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "flash/avm2/display_binding.h"
#include "flash/avm2/vm.h"
#include "flash/swf/types.h"

namespace flash {

class Button;
struct Character;
class DisplayObject;
class Library;
class MovieClip;
class Player;

class DisplayBridge {
public:
    DisplayBridge(Player& player, kinolux::avm2::Vm& vm);
    ~DisplayBridge();

    // The bridge of the player a machine runs in; null for a machine of
    // its own (the tests').
    static DisplayBridge* of(kinolux::avm2::Vm& vm);

    Player& player() { return player_; }
    kinolux::avm2::Vm& vm() { return vm_; }

    // A SymbolClass row of a movie: the class scripts give a character's
    // objects.
    void linkSymbol(const Library& library, swf::CharacterId id, const std::string& className);
    // The character a class is linked to; null for classes linked to none.
    const Character* symbolCharacter(const kinolux::avm2::Class* cls) const;
    // The main timeline's script object, of the document class (or
    // MovieClip), once its first frame is on the stage.
    void constructRoot(MovieClip& root, kinolux::avm2::Class* documentClass);
    kinolux::avm2::Object* rootObject() const { return rootObject_; }
    // The script object of the main timeline of a movie a Loader loaded,
    // of its document class, its first frame built off the stage; null
    // when its constructor failed.
    kinolux::avm2::Object* constructMovie(const std::shared_ptr<MovieClip>& root,
                                          kinolux::avm2::Class* documentClass);
    // An object the timeline (or addChild) put on the stage. Its script
    // object waits until its frame is built: the player puts every object
    // of a frame on the list first, then constructs them in order (a
    // parent's own children when its super constructor runs).
    void placed(DisplayObject& object);
    // A clip a script makes off the stage builds its first frame at once,
    // the children it places constructed there.
    void buildFirstFrame(DisplayObject& object);
    // The clips scripts made and left off the stage move on a frame, after
    // enterFrame (which finds them still on the frame before).
    void stepOrphans();
    // Constructs the waiting children of a display object.
    void constructChildren(DisplayObject& parent);
    // Constructs everything still waiting, parents before their children.
    void constructWaiting();
    // The constructors of the buttons the timeline placed, which run after
    // the frame's exitFrame.
    void runLateConstructors();
    // The script objects of a button's state objects, up to hit test, in
    // its constructor.
    void constructButtonStates(Button& button);

    // The script object of a display object, made (constructor run) if it
    // had none yet; null while it waits to be constructed, or when making
    // it failed.
    kinolux::avm2::Object* objectOf(DisplayObject& object);
    // The script object made for a display object so far; null when none
    // was (nothing is constructed to find out).
    kinolux::avm2::DisplayScriptObject* madeObjectOf(const DisplayObject& object) const;
    // The display object behind a script value; null for other values and
    // for display objects that never had one.
    static DisplayObject* displayOf(const kinolux::avm2::Value& value);
    std::shared_ptr<DisplayObject> sharedDisplayOf(const kinolux::avm2::Value& value);
    // The Stage object: the parent of the root.
    kinolux::avm2::Object* stage();

    // The instance of a display class a script constructs: bound to the
    // pending display object, or to a new one of the class's kind.
    kinolux::avm2::Object* makeInstance(kinolux::avm2::Class* cls);

    // The frame's script events and frame scripts, in the player's order.
    void broadcast(std::u16string_view type);
    void runFrameScripts();
    // A script gave a clip's frame (0-based) a frame script or took it away.
    void frameScriptChanged(MovieClip& clip, int frame, bool hadScript);
    // Dispatches a plain event at one object (added, addedToStage...).
    void dispatch(DisplayObject& object, std::u16string_view type, bool bubbles);
    // The removed events of an object the timeline takes off.
    void announceRemoval(DisplayObject& object);
    // After a script's goto: the frame it went to is constructed and its
    // scripts run at once, with the frame events around them, as between
    // frames (a goto to the frame the clip is on included); before
    // version 10 only the constructing happens at once.
    void finishGoto();
    // A script's goto on a clip (a 1-based frame): at once, or after the
    // clip's frame script when it runs one.
    void gotoFrame(MovieClip& clip, int frame, bool play);
    // addedToStage/removedFromStage for an object and what it holds.
    void dispatchStageChange(DisplayObject& object, bool added);

    // Work a script asked for that finishes after its frame's scripts (a
    // Loader's file), and running what was asked for so far.
    // `bytes` is what the work holds until then.
    void queue(std::function<void()> work, std::size_t bytes);
    void runQueued();
    // Whether there is room for more: a script asking in a loop is held to
    // what one frame may hold.
    bool canQueue(std::size_t bytes) const {
        return queued_.size() < kMaxQueued && bytes <= kMaxQueuedBytes - queuedBytes_;
    }

private:
    class Binding;
    kinolux::avm2::Class* classFor(const DisplayObject& object);
    kinolux::avm2::Object* bind(std::shared_ptr<DisplayObject> object, kinolux::avm2::Class* cls);
    std::shared_ptr<DisplayObject> newDisplayObject(kinolux::avm2::Class* cls);
    void nameChildren(DisplayObject& parent, kinolux::avm2::Object* parentObject);
    void construct(DisplayObject& object);
    bool constructUnannounced(DisplayObject& object, kinolux::avm2::Class* cls);
    void constructLate(Button& button);
    kinolux::avm2::Object* instanceOf(kinolux::avm2::Class* cls, kinolux::avm2::DisplayBinding* binding);
    void markOnStage(DisplayObject& object, bool on);
    void announcePlaced(DisplayObject& object);
    void setInstanceProperty(kinolux::avm2::Object* parent, DisplayObject& child, kinolux::avm2::Object* childObject);
    void runFrameScriptsOf(DisplayObject& object, bool offStage = false);
    void constructOffStage(MovieClip& clip);
    void runFrameScript(MovieClip& clip, kinolux::avm2::Object* object);

    Player& player_;
    kinolux::avm2::Vm& vm_;
    struct SymbolLink {
        std::string className;
        std::size_t order;  // of linking
    };
    std::map<const Character*, SymbolLink> symbolClasses_;
    std::unordered_map<std::uint64_t, kinolux::avm2::DisplayScriptObject*> objects_;  // by instance id
    std::vector<std::unique_ptr<Binding>> bindings_;
    std::vector<std::weak_ptr<DisplayObject>> waiting_;
    std::vector<kinolux::avm2::Object*> lateConstructors_;  // made, constructor not yet run  // placed, not yet constructed, in placing order
    std::unordered_map<std::uint64_t, int> scriptFrames_;  // the frame whose script last ran, per clip
    struct QueuedGoto {
        int frame;
        bool play;
    };
    // The clips running a frame script, with the goto each asked for meanwhile.
    std::unordered_map<std::uint64_t, std::optional<QueuedGoto>> runningScripts_;
    std::vector<std::weak_ptr<MovieClip>> orphans_;
    static constexpr std::size_t kMaxOrphans = 1024;
    int scriptPhase_ = 0;  // how deep the frame scripts' runs nest
    std::deque<std::weak_ptr<MovieClip>> lateScripts_;
    static constexpr int kMaxLateScripts = 4096;
    kinolux::avm2::Object* rootObject_ = nullptr;
    kinolux::avm2::Object* stage_ = nullptr;
    static constexpr std::size_t kMaxQueued = 1024;
    static constexpr std::size_t kMaxQueuedBytes = std::size_t(256) << 20;
    static constexpr int kMaxQueuedRounds = 8;
    std::vector<std::function<void()>> queued_;
    std::size_t queuedBytes_ = 0;
    // Gotos in frame events nest; a movie whose handlers goto for ever
    // stops nesting here, its gotos moving the playhead alone.
    static constexpr int kMaxNestedGotos = 32;
    int nestedGotos_ = 0;
};

struct Scene;
// The scenes of a clip's timeline in frame order, each running to the next
// one (one without a name for a timeline that names none), and the scene holding
// a 0-based frame.
std::vector<Scene> scenesOf(const MovieClip& clip);
const Scene& sceneAt(const std::vector<Scene>& scenes, int frame);

class BitmapData;
// The pixels of a BitmapData script object; null for anything else and for
// a disposed one.
std::shared_ptr<BitmapData> bitmapPixelsOf(const kinolux::avm2::Value& value);
// A BitmapData script object over pixels.
kinolux::avm2::Object* newBitmapDataObject(kinolux::avm2::Vm& vm, std::shared_ptr<BitmapData> pixels);

// The flash.display, flash.geom and Graphics classes of the player, on a
// machine whose display classes builtins declared.
void installPlayerClasses(kinolux::avm2::Vm& vm);
void installGeomClasses(kinolux::avm2::Vm& vm);
void installGraphicsClass(kinolux::avm2::Vm& vm);
void installConstantClasses(kinolux::avm2::Vm& vm);
void installApplicationDomain(kinolux::avm2::Vm& vm);
void installFilterClasses(kinolux::avm2::Vm& vm, const std::vector<kinolux::avm2::Class*>& displays);
void installBitmapFilters(kinolux::avm2::Vm& vm);
void installBitmapClasses(kinolux::avm2::Vm& vm, kinolux::avm2::Class* bitmap);
void installTextClasses(kinolux::avm2::Vm& vm, kinolux::avm2::Class* textField);
// flash.text.engine: font descriptions, element formats, blocks and lines.
void installTextEngine(kinolux::avm2::Vm& vm);
// StaticText, which scripts read but cannot make.
void installStaticText(kinolux::avm2::Vm& vm, kinolux::avm2::Class* staticText);
// TextField's lines, character places and selection.
void installTextFieldQueries(kinolux::avm2::Vm& vm, kinolux::avm2::Class* textField);
void installLoaderClasses(kinolux::avm2::Vm& vm);
// ByteArray classes linked to embedded files.
void installLinkedBytes(kinolux::avm2::Vm& vm);
void installNetClasses(kinolux::avm2::Vm& vm);
// flash.system: System, IME, Capabilities and fscommand.
void installSystemClasses(kinolux::avm2::Vm& vm);
void installSoundClasses(kinolux::avm2::Vm& vm);
// soundComplete for the channels whose sound has played to its end.
void dispatchEndedSounds(kinolux::avm2::Vm& vm);
void installInputEventClasses(kinolux::avm2::Vm& vm);
void installInteractiveProperties(kinolux::avm2::Vm& vm);
// The main movie's LoaderInfo tells its listeners (if a script asked for
// it) that the movie is in: init and complete, once its first frame ran.
void announceMovieLoaded(kinolux::avm2::Vm& vm);
// Takes a child off its container's list, with the removed events first.
void detachChild(kinolux::avm2::Vm& vm, DisplayObject& child);
// SimpleButton's states and switches.
void installSimpleButton(kinolux::avm2::Vm& vm, kinolux::avm2::Class* simpleButton);
// DisplayObject.loaderInfo.
kinolux::avm2::Value loaderInfoGetter(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& self,
                                      std::span<const kinolux::avm2::Value> args);

}  // namespace flash
