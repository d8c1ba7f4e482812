#include "flash/avm2/player/display_bridge.h"

#include <algorithm>

#include "flash/avm2/player/as3_scripts.h"
#include "flash/core/bitmap_object.h"
#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {

using kinolux::avm2::Class;
using kinolux::avm2::DisplayScriptObject;
using kinolux::avm2::Multiname;
using kinolux::avm2::Object;
using kinolux::avm2::ScriptThrow;
using kinolux::avm2::String;
using kinolux::avm2::Value;

namespace {

bool isWaiting(const std::vector<std::weak_ptr<DisplayObject>>& waiting, const DisplayObject& object) {
    for (const auto& w : waiting)
        if (w.lock().get() == &object) return true;
    return false;
}

// Takes an object (and any that are gone) off the waiting list.
void stopWaiting(std::vector<std::weak_ptr<DisplayObject>>& waiting, const DisplayObject& object) {
    std::erase_if(waiting, [&](const std::weak_ptr<DisplayObject>& w) {
        auto o = w.lock();
        return !o || o.get() == &object;
    });
}

}  // namespace

std::vector<Scene> scenesOf(const MovieClip& clip) {
    std::vector<Scene> scenes = clip.timeline().scenes;
    if (scenes.empty()) return {Scene{"", 0, clip.totalFrames()}};
    std::sort(scenes.begin(), scenes.end(), [](const Scene& a, const Scene& b) { return a.firstFrame < b.firstFrame; });
    // Each scene runs to the next one's start, the last to the end.
    for (std::size_t i = 0; i < scenes.size(); ++i)
        scenes[i].frameCount =
            std::max(0, (i + 1 < scenes.size() ? scenes[i + 1].firstFrame : clip.totalFrames()) - scenes[i].firstFrame);
    return scenes;
}

const Scene& sceneAt(const std::vector<Scene>& scenes, int frame) {
    const Scene* found = &scenes.front();
    for (const Scene& s : scenes)
        if (s.firstFrame <= frame) found = &s;
    return *found;
}

class DisplayBridge::Binding : public kinolux::avm2::DisplayBinding {
public:
    Binding(DisplayBridge& bridge, std::shared_ptr<DisplayObject> object)
        : object(std::move(object)), bridge_(bridge) {}

    void play() override {
        if (auto* c = clip()) c->play();
    }
    void stop() override {
        if (auto* c = clip()) c->stop();
    }
    void gotoFrame(const Value& frame, bool play, const Value& inScene) override {
        auto* c = clip();
        if (!c) return;
        const std::vector<Scene> scenes = scenesOf(*c);
        const Scene* scene = &sceneAt(scenes, c->currentFrame());
        if (!inScene.isNullish()) {
            const std::string wanted = bridge_.vm().toString(inScene).toUtf8();
            auto named = std::find_if(scenes.begin(), scenes.end(), [&](const Scene& s) { return s.name == wanted; });
            if (named == scenes.end())
                bridge_.vm().throwError(kinolux::avm2::ErrorType::ArgumentError,
                                        "Error #2108: Scene " + wanted + " was not found.", 2108);
            scene = &*named;
        }
        if (frame.isString()) {
            if (auto n = c->frameOfLabel(frame.string()))
                bridge_.gotoFrame(*c, *n, play);
            else
                bridge_.vm().throwError(kinolux::avm2::ErrorType::ArgumentError,
                                        "Error #2109: Frame label " + frame.string().toUtf8() +
                                            " not found in scene " + sceneName(*c) + ".",
                                        2109);
            return;
        }
        double n = frame.isNumber() ? frame.number() : bridge_.vm().toNumber(frame);
        if (n >= 1 && n < 1e9) bridge_.gotoFrame(*c, scene->firstFrame + int(n), play);
    }
    void stepScene(int step) override {
        auto* c = clip();
        if (!c) return;
        // Going back from the first scene goes to its start.
        const std::vector<Scene> scenes = scenesOf(*c);
        const Scene& now = sceneAt(scenes, c->currentFrame());
        const auto at = std::size_t(&now - scenes.data());
        if (step > 0 && at + 1 >= scenes.size()) return;
        const Scene& target = step > 0 ? scenes[at + 1] : scenes[at == 0 ? 0 : at - 1];
        bridge_.gotoFrame(*c, target.firstFrame + 1, c->isPlaying());
    }
    int currentFrame() override {
        auto* c = clip();
        // A clip a script made without a symbol has no frame to be on.
        if (c && c->timeline().tags->empty()) return 0;
        return c ? c->currentFrame() + 1 - sceneAt(scenesOf(*c), c->currentFrame()).firstFrame : 1;
    }
    int totalFrames() override {
        auto* c = clip();
        return c ? c->totalFrames() : 1;
    }
    void frameScriptChanged(int frame, bool hadScript) override {
        if (auto* c = clip()) bridge_.frameScriptChanged(*c, frame, hadScript);
    }
    Object* parentObject() override {
        if (DisplayObject* p = object->parent()) return bridge_.objectOf(*p);
        if (object.get() == &bridge_.player().root()) return bridge_.stage();
        return nullptr;
    }

    const std::shared_ptr<DisplayObject> object;

private:
    MovieClip* clip() const {
        return object->kind() == ObjectKind::MovieClip ? static_cast<MovieClip*>(object.get()) : nullptr;
    }
    static std::string sceneName(const MovieClip& c) { return sceneAt(scenesOf(c), c.currentFrame()).name; }

    DisplayBridge& bridge_;
};

DisplayBridge::DisplayBridge(Player& player, kinolux::avm2::Vm& vm) : player_(player), vm_(vm) {}

DisplayBridge::~DisplayBridge() = default;

DisplayBridge* DisplayBridge::of(kinolux::avm2::Vm& vm) {
    auto* scripts = dynamic_cast<As3Scripts*>(&vm.host());
    return scripts ? &scripts->display() : nullptr;
}

void DisplayBridge::linkSymbol(const Library& library, swf::CharacterId id, const std::string& className) {
    const std::size_t order = symbolClasses_.size();
    if (const Character* character = library.get(id)) symbolClasses_[character] = {className, order};
}

void DisplayBridge::constructRoot(MovieClip& root, Class* documentClass) {
    if (!documentClass) documentClass = vm_.findClass(u"flash.display.MovieClip");
    if (root.name.empty()) root.name = String(u"root1");
    rootObject_ = bind(std::static_pointer_cast<DisplayObject>(root.shared_from_this()), documentClass);
    constructChildren(root);
    announcePlaced(root);
    constructWaiting();
}

Object* DisplayBridge::constructMovie(const std::shared_ptr<MovieClip>& root, Class* documentClass) {
    root->name = player_.nextInstanceName();
    bindings_.push_back(std::make_unique<Binding>(*this, root));
    return vm_.constructDisplayObject(documentClass, bindings_.back().get());
}

void DisplayBridge::placed(DisplayObject& object) {
    if (!object.parent()) return;
    if (objects_.count(object.instanceId())) {
        // A clip made by a script shows its first frame only now.
        constructChildren(object);
        return;
    }
    waiting_.push_back(object.weak_from_this());
}

void DisplayBridge::constructChildren(DisplayObject& parent) {
    for (std::size_t i = 0; i < waiting_.size();) {
        auto child = waiting_[i].lock();
        if (child && child->parent() == &parent) {
            construct(*child);
            i = 0;  // the constructor may have changed the list
        } else {
            ++i;
        }
    }
}

void DisplayBridge::buildFirstFrame(DisplayObject& object) {
    if (object.kind() != ObjectKind::MovieClip || object.onStage()) return;
    auto& clip = static_cast<MovieClip&>(object);
    // A button's state clip has its frame already, its objects still
    // waiting for their script objects.
    const bool fresh = !clip.initialized();
    if (fresh) clip.runFrame();
    constructOffStage(clip);
    // A clip a script made plays on without a place on the stage.
    if (fresh && !clip.parent() && clip.totalFrames() > 1 && orphans_.size() < kMaxOrphans)
        orphans_.push_back(std::static_pointer_cast<MovieClip>(clip.shared_from_this()));
}

void DisplayBridge::constructOffStage(MovieClip& clip) {
    std::vector<std::shared_ptr<DisplayObject>> children;
    for (const auto& [depth, child] : clip.children()) children.push_back(child);
    for (const auto& child : children)
        if (child->parent() == &clip && !objects_.count(child->instanceId())) construct(*child);
}

void DisplayBridge::stepOrphans() {
    std::erase_if(orphans_, [](const std::weak_ptr<MovieClip>& w) { return w.expired(); });
    // Constructors running meanwhile may make more.
    for (std::size_t i = 0, count = orphans_.size(); i < count; ++i) {
        auto clip = orphans_[i].lock();
        if (!clip || clip->parent() || clip->onStage()) continue;
        clip->runFrame();
        constructOffStage(*clip);
    }
}

void DisplayBridge::constructWaiting() {
    while (!waiting_.empty()) {
        // The first waiting object whose parent has its script object.
        auto ready = std::find_if(waiting_.begin(), waiting_.end(), [&](const std::weak_ptr<DisplayObject>& w) {
            auto o = w.lock();
            return !o || !o->parent() || objects_.count(o->parent()->instanceId()) ||
                   !isWaiting(waiting_, *o->parent());
        });
        if (ready == waiting_.end()) ready = waiting_.begin();
        auto object = ready->lock();
        if (!object) {
            waiting_.erase(ready);
            continue;
        }
        construct(*object);
    }
}

void DisplayBridge::constructButtonStates(Button& button) {
    // A sprite holding a state's records takes them once every state is
    // constructed, the records on their own, and they hear that it did.
    std::vector<std::shared_ptr<DisplayObject>> taken, hidden;
    bool made = false;
    for (std::uint8_t state : {swf::ButtonState::Up, swf::ButtonState::Over, swf::ButtonState::Down,
                               swf::ButtonState::HitTest}) {
        auto object = button.stateObject(state);
        if (!object) continue;
        // The states a button on the stage does not show are on it too
        // while they are constructed.
        if (button.onStage() && !object->onStage() && !objects_.count(object->instanceId())) {
            markOnStage(*object, true);
            hidden.push_back(object);
        }
        if (object->kind() != ObjectKind::MovieClip || object->character()) {
            made = constructUnannounced(*object, classFor(*object)) || made;
            continue;
        }
        auto& sprite = static_cast<MovieClip&>(*object);
        if (objects_.count(sprite.instanceId())) continue;
        std::vector<std::shared_ptr<DisplayObject>> records;
        for (const auto& [depth, child] : sprite.children()) records.push_back(child);
        for (const auto& record : records) {
            record->setParent(nullptr);
            constructUnannounced(*record, classFor(*record));
            record->setParent(&sprite);
        }
        made = constructUnannounced(sprite, vm_.findClass(u"flash.display.Sprite")) || made;
        taken.insert(taken.end(), records.begin(), records.end());
    }
    for (const auto& object : hidden) markOnStage(*object, false);
    for (const auto& record : taken) dispatch(*record, u"added", true);
    // The state on show hears that the button took it.
    if (!made || button.children().empty()) return;
    auto shown = button.children().begin()->second;
    dispatch(*shown, u"added", true);
    if (shown->onStage()) dispatchStageChange(*shown, true);
}

// A button the timeline places has its script object, named on its
// parent, and its states' at once, but its own constructor runs only once
// the frame has ended.
void DisplayBridge::constructLate(Button& button) {
    Class* cls = classFor(button);
    if (!cls) return;
    bindings_.push_back(std::make_unique<Binding>(*this, button.shared_from_this()));
    Object* made = instanceOf(cls, bindings_.back().get());
    made->sealed = cls->sealed;
    lateConstructors_.push_back(made);
    if (DisplayObject* parent = button.parent())
        if (auto holder = objects_.find(parent->instanceId()); holder != objects_.end())
            setInstanceProperty(holder->second, button, made);
    constructButtonStates(button);
}

void DisplayBridge::runLateConstructors() {
    for (Object* made : std::exchange(lateConstructors_, {})) {
        Class* cls = made->cls;
        if (cls->init) vm_.guarded([&] { vm_.callMethod(cls->init, Value(made), {}, cls->init->scope); });
        if (DisplayObject* object = displayOf(Value(made))) announcePlaced(*object);
    }
}

// Marks what an object holds as placed (waiting to be constructed in its
// constructor), or the marks off again.
void DisplayBridge::markOnStage(DisplayObject& object, bool on) {
    object.setOnStage(on);
    std::vector<std::shared_ptr<DisplayObject>> children;
    if (object.kind() == ObjectKind::MovieClip)
        for (const auto& [depth, child] : static_cast<MovieClip&>(object).children()) children.push_back(child);
    for (const auto& child : children) {
        if (!on) stopWaiting(waiting_, *child);
        else if (!objects_.count(child->instanceId())) waiting_.push_back(child->weak_from_this());
        markOnStage(*child, on);
    }
}

// A button's states hear of no placing: they are no child of the button.
bool DisplayBridge::constructUnannounced(DisplayObject& object, Class* cls) {
    stopWaiting(waiting_, object);
    if (objects_.count(object.instanceId())) return false;
    bind(object.shared_from_this(), cls);
    return true;
}

void DisplayBridge::construct(DisplayObject& object) {
    stopWaiting(waiting_, object);
    if (objects_.count(object.instanceId())) return;
    if (object.kind() == ObjectKind::Button && object.placedBy && object.onStage()) {
        constructLate(static_cast<Button&>(object));
        return;
    }
    Object* made = bind(object.shared_from_this(), classFor(object));
    // A constructor that never called super() still gets its children.
    constructChildren(object);
    if (DisplayObject* parent = object.parent())
        if (auto holder = objects_.find(parent->instanceId()); holder != objects_.end())
            setInstanceProperty(holder->second, object, made);
    announcePlaced(object);
}

// An object the timeline placed hears that it was added once it is
// constructed, as one a script adds does at once.
void DisplayBridge::announcePlaced(DisplayObject& object) {
    dispatch(object, u"added", true);
    if (object.onStage()) dispatch(object, u"addedToStage", false);
}

void DisplayBridge::setInstanceProperty(Object* parent, DisplayObject& child, Object* childObject) {
    if (!childObject || child.name.empty()) return;
    vm_.guarded([&] {
        try {
            vm_.setProperty(Value(parent), Multiname::publicName(child.name), Value(childObject));
        } catch (const ScriptThrow&) {
            // A sealed class without a variable of that name goes without.
        }
    });
}

Object* DisplayBridge::objectOf(DisplayObject& object) {
    if (auto it = objects_.find(object.instanceId()); it != objects_.end()) return it->second;
    if (isWaiting(waiting_, object)) return nullptr;
    return bind(object.shared_from_this(), classFor(object));
}

DisplayScriptObject* DisplayBridge::madeObjectOf(const DisplayObject& object) const {
    auto it = objects_.find(object.instanceId());
    return it == objects_.end() ? nullptr : it->second;
}

DisplayObject* DisplayBridge::displayOf(const Value& value) {
    auto* o = dynamic_cast<DisplayScriptObject*>(value.object());
    auto* b = o ? dynamic_cast<Binding*>(o->binding) : nullptr;
    return b ? b->object.get() : nullptr;
}

std::shared_ptr<DisplayObject> DisplayBridge::sharedDisplayOf(const Value& value) {
    auto* o = dynamic_cast<DisplayScriptObject*>(value.object());
    auto* b = o ? dynamic_cast<Binding*>(o->binding) : nullptr;
    return b ? b->object : nullptr;
}

Object* DisplayBridge::stage() {
    if (!stage_) {
        Class* cls = vm_.findClass(u"flash.display.Stage");
        stage_ = vm_.make<DisplayScriptObject>(kinolux::avm2::ObjectKind::Plain, &cls->instanceTraits, cls,
                                              cls->prototype);
    }
    return stage_;
}

Class* DisplayBridge::classFor(const DisplayObject& object) {
    if (object.character()) {
        if (auto it = symbolClasses_.find(object.character()); it != symbolClasses_.end()) {
            Class* linked = nullptr;
            vm_.guarded([&] { linked = vm_.findClass(String::fromUtf8(it->second.className).view()); });
            if (linked) return linked;
        }
    }
    const char16_t* name = u"flash.display.MovieClip";
    switch (object.kind()) {
    case ObjectKind::Shape: name = u"flash.display.Shape"; break;
    case ObjectKind::MorphShape: name = u"flash.display.MorphShape"; break;
    case ObjectKind::Text: name = u"flash.text.StaticText"; break;
    case ObjectKind::Bitmap: name = u"flash.display.Bitmap"; break;
    case ObjectKind::Video: name = u"flash.media.Video"; break;
    case ObjectKind::EditText: name = u"flash.text.TextField"; break;
    case ObjectKind::Button: name = u"flash.display.SimpleButton"; break;
    case ObjectKind::MovieClip: break;
    }
    return vm_.findClass(name);
}

Object* DisplayBridge::bind(std::shared_ptr<DisplayObject> object, Class* cls) {
    if (!cls) return nullptr;
    const std::uint64_t id = object->instanceId();
    bindings_.push_back(std::make_unique<Binding>(*this, std::move(object)));
    vm_.constructDisplayObject(cls, bindings_.back().get());
    auto it = objects_.find(id);
    return it == objects_.end() ? nullptr : it->second;
}

Object* DisplayBridge::makeInstance(Class* cls) { return instanceOf(cls, vm_.takePendingBinding()); }

Object* DisplayBridge::instanceOf(Class* cls, kinolux::avm2::DisplayBinding* binding) {
    auto* o = vm_.make<DisplayScriptObject>(kinolux::avm2::ObjectKind::Plain, &cls->instanceTraits, cls,
                                            cls->prototype);
    o->binding = binding;
    if (!o->binding) {
        if (auto made = newDisplayObject(cls)) {
            made->name = player_.nextInstanceName();
            bindings_.push_back(std::make_unique<Binding>(*this, std::move(made)));
            o->binding = bindings_.back().get();
        }
    }
    auto* b = dynamic_cast<Binding*>(o->binding);
    if (!b) return o;
    objects_[b->object->instanceId()] = o;
    nameChildren(*b->object, o);
    return o;
}

const Character* DisplayBridge::symbolCharacter(const Class* cls) const {
    std::string dotted = cls->qualifiedName().toUtf8();
    if (auto at = dotted.find("::"); at != std::string::npos) dotted.replace(at, 2, ".");
    // A class linked to several characters makes the first one linked.
    const Character* found = nullptr;
    std::size_t first = 0;
    for (const auto& [character, link] : symbolClasses_)
        if (link.className == dotted && (!found || link.order < first)) found = character, first = link.order;
    return found;
}

std::shared_ptr<DisplayObject> DisplayBridge::newDisplayObject(Class* cls) {
    for (Class* c = cls; c; c = c->super) {
        if (const Character* character = symbolCharacter(c)) {
            auto made = createDisplayObject(character, player_);
            // A field a script makes from its symbol starts without the
            // symbol's text, which only the timeline's placing gives.
            if (made && made->kind() == ObjectKind::EditText) static_cast<EditText&>(*made).setPlainText({});
            if (made) return made;
        }
        if (c->ns.uri == u"flash.text" && c->name == u"TextField")
            return std::make_shared<EditText>(player_, QRectF(0, 0, 100, 100));
        if (c->ns.uri == u"flash.text.engine" && c->name == u"TextLine")
            return std::make_shared<MovieClip>(nullptr, &emptyTimeline(), player_.library(), player_);
        if (c->ns.uri != u"flash.display") continue;
        if (c->name == u"Sprite" || c->name == u"MovieClip" || c->name == u"Shape" || c->name == u"Loader")
            return std::make_shared<MovieClip>(nullptr, &emptyTimeline(), player_.library(), player_);
        if (c->name == u"Bitmap") return std::make_shared<BitmapObject>(player_, nullptr);
        if (c->name == u"SimpleButton") return std::make_shared<Button>(nullptr, player_);
        if (c->name == u"DisplayObject") break;
    }
    return nullptr;
}

void DisplayBridge::nameChildren(DisplayObject& parent, Object* parentObject) {
    if (parent.kind() != ObjectKind::MovieClip) return;
    for (const auto& [depth, child] : static_cast<MovieClip&>(parent).children())
        if (auto it = objects_.find(child->instanceId()); it != objects_.end())
            setInstanceProperty(parentObject, *child, it->second);
}

void DisplayBridge::queue(std::function<void()> work, std::size_t bytes) {
    queued_.push_back(std::move(work));
    queuedBytes_ += bytes;
}

void DisplayBridge::runQueued() {
    // A local file comes at once, so what the work itself asks for (the
    // next file of a chain of loads) comes in the same frame; a chain that
    // goes on longer waits for the next one.
    for (int round = 0; round < kMaxQueuedRounds && !queued_.empty(); ++round) {
        auto now = std::exchange(queued_, {});
        queuedBytes_ = 0;
        for (auto& work : now) vm_.guarded(work);
    }
}

// Display objects hear a frame event whether on the stage or not, in the
// order they began to listen for it.
void DisplayBridge::broadcast(std::u16string_view type) {
    const std::vector<Object*> everyone = vm_.broadcastListeners(type);
    for (Object* o : everyone) {
        auto* d = static_cast<DisplayScriptObject*>(o);
        if (!dynamic_cast<Binding*>(d->binding)) continue;
        bool listens = false;
        for (const auto& l : d->listeners) listens = listens || l.type == type;
        if (listens) vm_.dispatchSimpleEvent(d, type);
    }
}

void DisplayBridge::dispatch(DisplayObject& object, std::u16string_view type, bool bubbles) {
    auto it = objects_.find(object.instanceId());
    if (it == objects_.end()) return;
    vm_.guarded([&] {
        Value args[] = {Value(String(type)), Value(bubbles)};
        Value event(vm_.construct(vm_.findClass(u"flash.events.Event"), args));
        Value dispatchArgs[] = {event};
        vm_.callProperty(Value(static_cast<Object*>(it->second)), Multiname::publicName(String(u"dispatchEvent")),
                         dispatchArgs);
    });
}

void DisplayBridge::announceRemoval(DisplayObject& object) {
    dispatch(object, u"removed", true);
    if (object.onStage()) dispatchStageChange(object, false);
}

void DisplayBridge::gotoFrame(MovieClip& clip, int frame, bool play) {
    // A clip running its own frame script goes when the script is done; the
    // last goto it asked for wins.
    if (auto running = runningScripts_.find(clip.instanceId()); running != runningScripts_.end()) {
        running->second = QueuedGoto{frame, play};
        return;
    }
    clip.gotoFrame(frame, play);
    finishGoto();
}

void DisplayBridge::finishGoto() {
    // Movies before version 10 wait for the next frame for the rest.
    if (vm_.swfVersion() < 10 || nestedGotos_ >= kMaxNestedGotos) {
        constructWaiting();
        return;
    }
    struct Nesting {
        int& depth;
        explicit Nesting(int& d) : depth(++d) {}
        ~Nesting() { --depth; }
    } nesting(nestedGotos_);
    constructWaiting();
    broadcast(u"frameConstructed");
    runFrameScripts();
    broadcast(u"exitFrame");
    runLateConstructors();
}

void DisplayBridge::dispatchStageChange(DisplayObject& object, bool added) {
    dispatch(object, added ? u"addedToStage" : u"removedFromStage", false);
    std::vector<std::shared_ptr<DisplayObject>> children;
    if (object.kind() == ObjectKind::MovieClip)
        for (const auto& [depth, child] : static_cast<MovieClip&>(object).children()) children.push_back(child);
    else if (object.kind() == ObjectKind::Button)
        for (const auto& [depth, child] : static_cast<Button&>(object).children()) children.push_back(child);
    for (const auto& child : children) dispatchStageChange(*child, added);
}

void DisplayBridge::runFrameScript(MovieClip& clip, Object* object) {
    auto keep = clip.shared_from_this();
    const std::uint64_t id = clip.instanceId();
    runningScripts_.emplace(id, std::nullopt);
    vm_.runFrameScript(object, clip.currentFrame());
    auto node = runningScripts_.extract(id);
    if (node && node.mapped()) gotoFrame(clip, node.mapped()->frame, node.mapped()->play);
}

// The frame scripts run down the display list, each clip's once for a frame
// it came to; a script that frame scripts give to the frame their clip is on
// meanwhile runs after those, in the order they were given, even when the
// clip's script for the frame ran already.
void DisplayBridge::runFrameScripts() {
    struct Phase {
        int& depth;
        explicit Phase(int& d) : depth(++d) {}
        ~Phase() { --depth; }
    } phase(scriptPhase_);
    // What was given before this run (a goto's inside a frame script) runs
    // in its place down the list.
    for (const auto& late : std::exchange(lateScripts_, {}))
        if (auto clip = late.lock()) scriptFrames_.erase(clip->instanceId());
    runFrameScriptsOf(player_.root());
    for (const auto& orphan : std::vector(orphans_))
        if (auto clip = orphan.lock(); clip && !clip->parent() && !clip->onStage()) runFrameScriptsOf(*clip, true);
    for (int run = 0; run < kMaxLateScripts && !lateScripts_.empty(); ++run) {
        auto clip = lateScripts_.front().lock();
        lateScripts_.pop_front();
        DisplayScriptObject* object = clip ? madeObjectOf(*clip) : nullptr;
        if (!object || runningScripts_.count(clip->instanceId())) continue;
        scriptFrames_[clip->instanceId()] = clip->currentFrame();
        runFrameScript(*clip, object);
    }
    // A script giving itself its frame's script again and again stops here.
    if (scriptPhase_ == 1) lateScripts_.clear();
}

void DisplayBridge::frameScriptChanged(MovieClip& clip, int frame, bool hadScript) {
    if (scriptPhase_ == 0 || frame != clip.currentFrame()) return;
    auto [last, fresh] = scriptFrames_.try_emplace(clip.instanceId(), -1);
    // A frame that had no script when the clip came to it is left to the late run.
    if (!hadScript) last->second = clip.currentFrame();
    auto self = std::static_pointer_cast<MovieClip>(clip.shared_from_this());
    const bool queued = std::any_of(lateScripts_.begin(), lateScripts_.end(),
                                    [&](const std::weak_ptr<MovieClip>& w) { return w.lock() == self; });
    if (!queued) lateScripts_.push_back(self);
}

void DisplayBridge::runFrameScriptsOf(DisplayObject& object, bool offStage) {
    if (object.kind() != ObjectKind::MovieClip || (!offStage && !object.onStage())) return;
    auto& clip = static_cast<MovieClip&>(object);
    if (auto it = objects_.find(object.instanceId()); it != objects_.end()) {
        auto [last, fresh] = scriptFrames_.try_emplace(object.instanceId(), -1);
        if (last->second != clip.currentFrame() && !runningScripts_.count(object.instanceId())) {
            last->second = clip.currentFrame();
            runFrameScript(clip, it->second);
        }
    }
    std::vector<std::shared_ptr<DisplayObject>> children;
    for (const auto& [depth, child] : clip.children()) children.push_back(child);
    for (const auto& child : children) runFrameScriptsOf(*child, offStage);
}

}  // namespace flash
