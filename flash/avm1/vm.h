// The ActionScript 1/2 machine: runs the bytecode of SWF 4 to 8 movies
// against the display objects of the player (host.h says what to call when).
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "flash/avm1/function.h"
#include "flash/avm1/gc.h"
#include "flash/avm1/host.h"
#include "flash/avm1/limits.h"
#include "flash/avm1/object.h"
#include "flash/avm1/value.h"

namespace kinolux::avm1 {

class ArrayObject;
class StageObject;

struct Activation;

// Strings the machine looks up often, built once so their hashes are kept.
struct Names {
    String length, prototype, constructor, constructorHidden, proto, resolve, toString, valueOf,
        thisName, arguments, superName, callee, caller, global, root, parent, empty, undefined,
        onLoad, onData, onSoundComplete, listeners, broadcastMessage;
    Names();
};

// The prototypes of the built-in classes.
struct Prototypes {
    ObjectRef object, function, array, string, number, boolean, date, error, movieClip, button,
        textField, sound, color, xmlNode, xml, loadVars, textFormat, sharedObject, stage;
    ObjectRef nativeTable;    // ASnative's numbered built-ins
    ObjectRef functionClass;  // Function, every function's `constructor`
};

class Vm {
public:
    Vm(Host& host, int rootSwfVersion, ScriptLimits limits = {});
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    // ---- the player's calls (host.h explains the order) ----

    // Gives a newly placed display object its script object: the class
    // registered for its symbol (Object.registerClass) or the built-in one,
    // and runs that class's constructor. `initObject` properties (from
    // attachMovie and duplicateMovieClip) are copied before it runs.
    void constructDisplayObject(DisplayObjectBinding& object, const ObjectRef& initObject = nullptr);
    void runFrameActions(DisplayObjectBinding& clip, const ActionBlock& code);
    void runInitActions(DisplayObjectBinding& clip, const ActionBlock& code);
    // Runs `body`, whose scripts share one time budget as one script would:
    // frame scripts whose gotos queue each other's frames for ever are
    // stopped like a loop in one script.
    template <class F>
    void asOneRun(F&& body) {
        if (runDepth_ > 0 || budgetShared_) return body();
        startBudget();
        budgetShared_ = true;
        struct End {
            bool& shared;
            ~End() { shared = false; }
        } end{budgetShared_};
        body();
    }
    // An onClipEvent body; `this` and the target are the clip.
    void runClipActions(DisplayObjectBinding& clip, const ActionBlock& code);
    // A DefineButton2 condition action; runs on the button's parent timeline.
    void runButtonActions(DisplayObjectBinding& button, const ActionBlock& code);
    // Calls a method of a display object's script object, if it has one
    // (onEnterFrame, onLoad, onPress...). Returns undefined when not.
    Value callMethod(DisplayObjectBinding& object, std::u16string_view name, Args args = {});
    bool hasMethod(DisplayObjectBinding& object, std::u16string_view name);
    // Listener broadcasts: Key, Mouse, Stage.
    void notifyKeyDown();
    void notifyKeyUp();
    void notifyMouseDown();
    void notifyMouseUp();
    void notifyMouseMove();
    void notifyMouseWheel(int delta, DisplayObjectBinding* target);
    void notifyStageResize();
    // The focus moved: onKillFocus of the old holder, onSetFocus of the new
    // one, then Selection's listeners.
    void notifyFocusChange(DisplayObjectBinding* old, DisplayObjectBinding* now);
    // A click on an "asfunction:" link: the function `path` names from the
    // field's timeline, called on the object it was found on, with `arg`.
    void callLinkFunction(DisplayObjectBinding& timeline, const String& path, const std::optional<String>& arg);
    // The user changed a text field's text: onChanged to its listeners.
    void notifyTextChanged(DisplayObjectBinding& field);
    // Runs the setInterval / setTimeout callbacks that are due on the
    // host's clock.
    void runTimers();
    std::optional<double> nextTimerDue() const;
    // The frame's scripts are done: values they left on the stack go.
    void endFrame() {
        if (runDepth_ == 0) stack_.clear();
    }
    // The answer to Host::loadVariables.
    void deliverVariables(DisplayObjectBinding& target, std::string_view urlEncoded);
    // The answer to Host::requestText (nullopt: it failed).
    void completeRequest(std::uint32_t id, const std::optional<std::string>& text);
    // Text field variables ("score", "/hud:score", "_root.hud.score").
    Value readVariable(DisplayObjectBinding& timeline, const String& path);
    void writeVariable(DisplayObjectBinding& timeline, const String& path, const Value& value);
    // Calls a method of any script object on behalf of the player (sound
    // and loading events), in the context of _level0.
    Value invoke(const ObjectRef& object, std::u16string_view name, Args args = {});
    // The script object of a display object, made on first use.
    ObjectRef scriptObjectOf(DisplayObjectBinding& object);
    void collectGarbage() { heap_.collect(); }
    // True after a limit stopped scripts for good.
    bool scriptsStopped() const { return scriptsStopped_; }
    // Actions run since the machine started (for measurements).
    std::uint64_t actionsRun() const { return ticks_; }
    // A fixed seed makes random() repeatable (tests).
    void seedRandom(std::uint32_t seed) { random_.seed(seed); }
    // Applies a ScriptLimits tag of the movie.
    void setLimitsFromMovie(int maxRecursionDepth, int timeoutSeconds);

    // ---- for the built-ins ----

    Host& host() { return host_; }
    Heap& heap() { return heap_; }
    const ScriptLimits& limits() const { return limits_; }
    const Names& names() const { return names_; }
    const Prototypes& protos() const { return protos_; }
    Prototypes& protos() { return protos_; }
    Object* global() const { return global_.get(); }
    const Ref<Scope>& globalScope() const { return globalScope_; }
    // The version of the running code (the root movie's between scripts).
    int swfVersion() const { return runningSwfVersion_; }
    bool caseSensitive() const { return swfVersion() >= 7; }
    int rootSwfVersion() const { return rootSwfVersion_; }
    // The function a built-in is running as (for tagged built-ins).
    FunctionObject* nativeCallee() const { return nativeCallee_; }
    String indexName(std::uint32_t index);
    double randomUnit();
    std::uint32_t randomBelow(std::uint32_t bound);

    // Objects
    ObjectRef newObject();
    Ref<ArrayObject> newArray();
    Ref<ArrayObject> newArray(std::vector<Value> elements);
    // A built-in function; with `prototype`, also its class prototype
    // (prototype.constructor and fn.prototype are linked).
    Ref<FunctionObject> newNative(NativeFunction call, NativeFunction construct = nullptr,
                                  const ObjectRef& prototype = nullptr);
    // An instance for `new`: its native shape follows the prototype chain.
    ObjectRef createInstance(const Value& proto);
    ObjectRef box(const Value& primitive);
    // A built-in method on an object (flags default to hidden, as the
    // player's own methods are).
    void defineMethod(Object& target, std::u16string_view name, NativeFunction fn,
                      std::uint16_t flags = PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    void defineProperty(Object& target, std::u16string_view name, NativeFunction getter,
                        NativeFunction setter,
                        std::uint16_t flags = PropertyFlag::DontEnum | PropertyFlag::DontDelete);

    // Conversions that may run valueOf / toString
    double toNumber(const Value& v);
    String toString(const Value& v);
    bool toBoolean(const Value& v) const { return avm1::toBoolean(v, swfVersion()); }
    std::int32_t toInt32(const Value& v) { return avm1::toInt32(toNumber(v)); }
    // The object a value stands for: itself, or its box; null for
    // undefined and null.
    ObjectRef toObject(const Value& v);
    // valueOf only (number hint; Flash never falls back to toString).
    Value toPrimitiveNumber(const Value& v);
    // For Add2: valueOf, or toString for dates from SWF 6.
    Value toPrimitive(const Value& v);
    bool abstractEquals(const Value& a, const Value& b);
    // Whether two values are clips at the same target path.
    bool sameClipPath(const Value& a, const Value& b);
    // left + right as the Add2 action computes it (concatenating strings).
    Value add(const Value& left, const Value& right);
    // a < b: true, false, or undefined when either side is NaN.
    Value lessThan(const Value& a, const Value& b);
    const char16_t* typeOf(const Value& v) const;

    // Property access with getters, setters, watchers and __resolve
    Value get(const ObjectRef& object, const String& name);
    Value get(const Value& target, const String& name);
    void set(const ObjectRef& object, const String& name, const Value& value);
    bool hasProperty(Object& object, const String& name);
    bool hasOwnProperty(Object& object, const String& name);
    bool deleteProperty(Object& object, const String& name);
    // Keys in for..in order.
    std::vector<String> enumerate(Object& object);
    bool isInstanceOf(Object& object, Object& constructor);

    // Calls
    Value call(const Value& function, const Value& thisValue, Args args);
    Value callMethod(const Value& target, const String& name, Args args);
    Value construct(const Value& constructor, Args args);
    // Calls with the prototype the method was found on (for `super`).
    Value callWithHome(const Value& function, const Value& thisValue, Args args, Object* home);
    // Calls the player makes on its own (getters, setters, watchers,
    // valueOf / toString, event handlers). They nest at most
    // kMaxSpecialDepth deep; deeper ones are skipped and yield nothing.
    std::optional<Value> callSpecial(const Value& function, const Value& thisValue, Args args);
    static constexpr int kMaxSpecialDepth = 65;
    // Values left on the stack kept from one script to the next.
    static constexpr std::size_t kMaxLeftoverValues = 4096;

    // Charges built-in work against the time budget.
    void charge(std::uint64_t actions);
    [[noreturn]] void abort(const std::string& message, bool stopsMovie = false);
    void checkStringLength(std::size_t length);
    void checkArrayLength(double length);
    // Stops the script before it makes `count` new property slots that
    // would take it past the memory budget, rather than after.
    void checkRoomForSlots(std::size_t count);

    // Display objects
    DisplayObjectBinding* bindingOf(const Value& v);
    DisplayObjectBinding* bindingOf(Object* object);
    // The dot path ("_level0.a.b") and slash path ("/a/b") of an object.
    String targetPath(DisplayObjectBinding& object);
    String slashPath(DisplayObjectBinding& object);
    // A clip named by a value: itself if it is one, else a target path.
    DisplayObjectBinding* resolveTarget(const Value& target, bool allowEmpty = true);
    // The clip relative paths start from and the _root of the running code.
    DisplayObjectBinding* targetClipOrRoot();
    DisplayObjectBinding* rootOf(DisplayObjectBinding& object);
    Value rootObject();

    // Registered classes (Object.registerClass)
    void registerClass(const String& linkage, const Value& constructor);
    // Sound objects and requests made by built-ins
    std::uint32_t startRequest(const ObjectRef& target);

    // The interval and timeout timers (setInterval family)
    struct Timer {
        std::uint32_t id = 0;
        Value function;       // a function, or with `method`, the object
        String method;
        std::vector<Value> args;
        double intervalMs = 0;
        double dueMs = 0;
        bool repeat = true;
    };
    std::uint32_t addTimer(Timer timer);
    bool removeTimer(std::uint32_t id);

    // Traces a line as trace() does (\r becomes a line break).
    void trace(const String& text);

private:
    // The interpreter's files reach the stack, registers and activations
    // through it (interpreter.h).
    friend class Interpreter;
    friend class ActivationGuard;

    // Counts one action against the budget.
    void tick() {
        if (--actionsLeft_ == 0) budgetExhausted();
        if ((++ticks_ & 0xFFFF) == 0) periodicCheck();
    }
    // Wraps a top-level call of script code (events, timers) with the
    // budget and the handling of throws and limits (interpreter.h).
    template <class F>
    void guarded(F&& body);
    void beginRun();
    void startBudget();
    void endRun();
    void handleAbort(const ScriptAbort& abort);
    // An exception nobody caught ends its script; the player names it in
    // the trace output.
    void reportUncaught(const Value& thrown);
    // Sets up a top-level activation and runs it, catching its failures.
    void runTopLevel(DisplayObjectBinding& clip, const ActionBlock& code);
    // The player has one stack for everything: what a function leaves on
    // it stays for its caller, and what a script leaves stays for the next.
    void pushActivation(Activation& act);
    void popActivation(Activation& act);
    [[noreturn]] void budgetExhausted();
    void periodicCheck();
    void installBuiltins();
    Value callFunction(FunctionObject& fn, const Value& thisValue, Args args, Object* home,
                       bool special);
    Value callBytecode(FunctionObject& fn, const Value& thisValue, Args args, Object* home,
                       bool special);
    Value callNative(FunctionObject& fn, const Value& thisValue, Args args);
    void broadcast(std::u16string_view object, std::u16string_view event, Args args = {});

    Host& host_;
    int rootSwfVersion_;
    ScriptLimits limits_;
    Heap heap_;
    Names names_;
    Prototypes protos_;
    ObjectRef global_;
    Ref<Scope> globalScope_;
    Activation* activation_ = nullptr;
    int runningSwfVersion_;
    FunctionObject* nativeCallee_ = nullptr;
    std::vector<Value> stack_;
    Value globalRegisters_[4];
    int callDepth_ = 0;
    int specialDepth_ = 0;
    ConstantPoolRef lastConstantPool_;
    int runDepth_ = 0;
    std::uint64_t actionsLeft_ = 0;
    std::uint64_t ticks_ = 0;
    std::chrono::steady_clock::time_point runStarted_;
    // Inside asOneRun: the scripts it runs count against the budget it set.
    bool budgetShared_ = false;
    bool scriptsStopped_ = false;
    std::vector<String> indexNames_;
    std::mt19937 random_;
    std::vector<std::pair<String, Value>> registeredClasses_;
    std::vector<Timer> timers_;
    std::uint32_t nextTimerId_ = 1;
    std::map<std::uint32_t, ObjectRef> requests_;
    std::uint32_t nextRequestId_ = 1;
};

}  // namespace kinolux::avm1
