// The ActionScript 3 machine: the ABC files a movie loaded, their scripts
// and classes, the built-in classes, property access by multiname, calls
// and the limits a run keeps to. The player core drives it through a Host.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "flash/avm1/limits.h"
#include "flash/avm2/abc_file.h"
#include "flash/avm2/object.h"

namespace kinolux::avm2 {

class Host {
public:
    virtual ~Host() = default;
    virtual void trace(std::string_view line) = 0;
    // Scripts stopped by a limit, malformed ABC and uncaught errors.
    virtual void scriptError(std::string_view message) = 0;
    // An uncaught error as a player's log shows it: the error and the stack
    // it was made on.
    virtual void uncaughtError(std::string_view) {}
    // Milliseconds since the movie started, on the player's clock.
    virtual double timerMilliseconds() = 0;
    // The date the movie sees as now (milliseconds since 1970 UTC) and the
    // local time zone's offset from UTC in minutes at a moment.
    virtual double wallClockMilliseconds() = 0;
    virtual double localTimeOffsetMinutes(double utcMilliseconds) = 0;
};

// An ActionScript exception on its way to a handler.
struct ScriptThrow {
    Value value;
};

// One loaded ABC file with what the machine made of its pools.
struct AbcUnit {
    AbcFile file;
    std::vector<Namespace> namespaces;
    std::vector<String> strings;
    std::vector<Multiname> names;  // the multiname pool, runtime parts left empty
    std::vector<Method> methods;
    std::vector<Class*> classes;   // made by newclass, null before
    std::vector<Object*> globals;  // one per script
    std::vector<Traits> scriptTraits;
    std::vector<Traits> activationTraits;  // per method body, built on first use
    std::vector<bool> activationBuilt;
    std::vector<std::uint8_t> scriptState;                                  // 0 not run, 1 running, 2 done
    std::map<std::pair<std::uint32_t, std::uint32_t>, Traits> catchTraits;  // by body and handler
};

class DisplayBinding;

enum class ErrorType {
    Error,
    TypeError,
    ReferenceError,
    RangeError,
    ArgumentError,
    VerifyError,
    EvalError,
    SyntaxError,
    URIError,
    SecurityError
};

class Vm {
public:
    Vm(Host& host, avm1::ScriptLimits limits);
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    Host& host() { return host_; }

    // Loads an ABC file and, unless `lazy`, runs its last script (the
    // others run when something first needs their names). A malformed file
    // is refused with a message to the host; false then.
    bool loadAbc(const std::uint8_t* data, std::size_t size, bool lazy);
    // A class by its dotted name ("flash.display.MovieClip", "Test"),
    // running the script that defines it; null when there is none.
    Class* findClass(std::u16string_view dottedName);
    // Runs a piece of script work: an exception nobody catches, or a limit
    // hit, is reported to the host, and the work ends there.
    template <class F>
    void guarded(F&& work) {
        if (disabled_) return;
        beginRun();
        try {
            work();
        } catch (const ScriptThrow& t) {
            reportUncaught(t.value);
        } catch (const avm1::ScriptAbort& a) {
            host_.scriptError(a.what());
            if (a.stopsMovie()) disabled_ = true;
        } catch (const std::bad_alloc&) {
            host_.scriptError(avm1::LimitMessage::kMemory);
            disabled_ = true;
        }
        endRun();
    }
    bool disabled() const { return disabled_; }

    // ---- objects ----
    Object* newObject();
    ArrayObject* newArray(std::vector<Value> elements = {});
    // Moves all of an Array's elements into `elements`, for the code that
    // walks them; one too long for that stops the script.
    ArrayObject& denseArray(ArrayObject& a);
    FunctionObject* newFunction(Method* method, ScopeChain scope);
    FunctionObject* newNativeFunction(NativeFunction fn, String name);
    Object* construct(Class* cls, std::span<const Value> args);
    Value constructValue(const Value& ctor, std::span<const Value> args);
    Object* newError(ErrorType type, const String& message, int id);
    [[noreturn]] void throwError(ErrorType type, const std::string& message, int id = 0);
    // The error for using null (#1009) or undefined (#1010) as an object.
    [[noreturn]] void nullReference(const Value& target);
    // The error for `new` of something that makes no objects.
    [[noreturn]] void notAConstructor(const std::string& what);
    Method* nativeMethod(NativeFunction fn, String name);
    // Charges the memory budget; a script over it is stopped.
    void charge(std::size_t bytes);
    template <class T>
    T* make(ObjectKind kind, const Traits* traits, Class* cls, Object* proto) {
        charge(sizeof(T) + (traits ? traits->slotDefaults.size() * sizeof(Value) : 0));
        auto obj = std::make_unique<T>(kind, traits, cls, proto);
        T* raw = obj.get();
        objects_.push_back(std::move(obj));
        return raw;
    }

    // ---- properties ----
    Value getProperty(const Value& target, const Multiname& name);
    void setProperty(const Value& target, const Multiname& name, const Value& value, bool init = false);
    bool hasProperty(const Value& target, const Multiname& name);
    bool deleteProperty(const Value& target, const Multiname& name);
    Value callProperty(const Value& target, const Multiname& name, std::span<const Value> args);
    Value getPublic(const Value& target, std::u16string_view name) {
        return getProperty(target, Multiname::publicName(String(name)));
    }
    void setPublic(const Value& target, std::u16string_view name, const Value& v) {
        setProperty(target, Multiname::publicName(String(name)), v);
    }
    // The object whose traits or dynamic properties hold a name, for
    // property lookups that start at the built-ins and the scripts.
    Object* findGlobal(const Multiname& name);
    // Numeric property names of arrays (and vectors).
    static bool arrayIndex(const String& name, std::uint32_t& index);

    // ---- calls ----
    Value call(const Value& function, const Value& thisValue, std::span<const Value> args);
    Value callMethod(Method* method, const Value& thisValue, std::span<const Value> args, const ScopeChain& scope,
                     FunctionObject* callee = nullptr);

    // ---- conversions ----
    double toNumber(const Value& v);
    String toString(const Value& v);
    Value toPrimitive(const Value& v, bool preferString);
    bool equals(const Value& a, const Value& b);
    static bool strictEquals(const Value& a, const Value& b);
    // a < b: true, false, or undefined (NaN involved).
    Value lessThan(const Value& a, const Value& b);
    String typeOf(const Value& v);
    Value add(const Value& a, const Value& b);
    Class* classOf(const Value& v);
    Object* protoOfPrimitive(const Value& v);  // a number's, string's or boolean's prototype
    bool isType(const Value& v, Class* type);
    Value coerceTo(const Value& v, Class* type);
    String concat(const String& a, const String& b);

    // ---- built-in classes ----
    struct Builtins {
        Class *object = nullptr, *cls = nullptr, *function = nullptr, *array = nullptr, *string = nullptr,
              *number = nullptr, *intClass = nullptr, *uintClass = nullptr, *boolean = nullptr,
              *namespaceClass = nullptr, *vector = nullptr, *date = nullptr, *error = nullptr;
        std::vector<Class*> errors;  // by ErrorType
    };
    const Builtins& builtins() const { return builtins_; }
    // Declares a class of the player's own in a package.
    Class* defineClass(std::u16string_view package, std::u16string_view name, Class* super, NativeConstructor make,
                       ObjectKind kind = ObjectKind::Plain);
    // Such a class's native constructor, in place of the one that does nothing.
    void defineConstructor(Class* cls, NativeFunction init);
    // `length` is what the function's length property says (its parameter count).
    void defineMethod(Class* cls, std::u16string_view name, NativeFunction fn, bool isStatic = false, int length = 0);
    // A method that is a trait of the class's instances (display classes),
    // not a prototype function scripts may replace.
    void defineTraitMethod(Class* cls, std::u16string_view name, NativeFunction fn);
    void defineGetter(Class* cls, std::u16string_view name, NativeFunction fn, NativeFunction setter = nullptr,
                      bool isStatic = false);
    void defineConstant(Class* cls, std::u16string_view name, const Value& v);
    void defineFunction(std::u16string_view package, std::u16string_view name, NativeFunction fn, int length = 0);
    void defineGlobalValue(std::u16string_view name, const Value& v, std::u16string_view package = u"");

    // Vector.<T> for an element type (a class object, or null for *).
    Class& vectorClassFor(const Value& elementType);
    // Runs a function the host holds (a frame script, a listener).
    void runFunction(const Value& function, const Value& thisValue);
    // Makes the script object of a display object the player placed, of a
    // class that extends a display class, bound to it; null when the
    // constructor failed (the error went to the host).
    Object* constructDisplayObject(Class* cls, DisplayBinding* binding);
    DisplayBinding* takePendingBinding() { return std::exchange(pendingBinding_, nullptr); }
    // Dispatches a plain Event of a type (enterFrame) to an object's listeners.
    void dispatchSimpleEvent(Object* target, std::u16string_view type);
    // The display objects that listen for a frame event (enterFrame,
    // frameConstructed, exitFrame, render), in the order they first
    // started to: the order the player tells them in. Some may have
    // stopped listening since.
    const std::vector<Object*>& broadcastListeners(std::u16string_view type) const;
    void noteBroadcastListener(std::u16string_view type, Object* listener);
    // The frame script a MovieClip's object holds for a 0-based frame.
    void runFrameScript(Object* clip, int frame);

    // The namespace unqualified XML names take (default xml namespace =),
    // set by a method for its own run.
    const String& defaultXmlNamespace() const { return defaultXmlNamespace_; }
    void setDefaultXmlNamespace(String uri) { defaultXmlNamespace_ = std::move(uri); }
    // XML settings (XML.ignoreComments and the rest), kept by the XML class,
    // and the running timers, kept by Timer and setTimeout, and the playing
    // sounds, kept by the player's sound classes.
    std::shared_ptr<void>& xmlState() { return xmlState_; }
    std::shared_ptr<void>& timerState() { return timerState_; }
    std::shared_ptr<void>& soundState() { return soundState_; }
    // Fires the timers and timeouts that have come due on the host's clock.
    void runTimers();
    // Classes registered under an alias (registerClassAlias), which AMF
    // writes and reads them by, and the object encoding new ByteArrays take.
    std::map<String, Class*>& classAliases() { return classAliases_; }
    int& defaultObjectEncoding() { return defaultObjectEncoding_; }

    // The movie's SWF version: some behaviour follows the version a movie
    // was made for.
    int swfVersion() const { return swfVersion_; }
    void setSwfVersion(int version);
    // The script methods running now, innermost first, one "\tat name()"
    // line each, as Error.getStackTrace shows them.
    String stackTrace() const;

    // The ByteArray the domain memory opcodes read and write (null: none).
    Object* domainMemory() const { return domainMemory_; }
    void setDomainMemory(Object* bytes) { domainMemory_ = bytes; }

    const avm1::ScriptLimits& limits() const { return limits_; }
    std::size_t memoryUsed() const { return memory_; }
    int callDepth() const { return depth_; }
    // Instructions run since the machine started.
    std::uint64_t actionsRun() const { return totalActions_ + actions_; }

private:
    friend class Interpreter;

    void beginRun();
    void endRun();
    void reportUncaught(const Value& error);
    void runScript(AbcUnit& unit, std::size_t script);
    Value getOfPrimitive(const Value& target, const Multiname& name, bool sealed);
    Value getSealed(Object* from, const Value& target, const Multiname& name);
    Class* interfaceNamed(AbcUnit& unit, std::uint32_t multiname, const ScopeChain& scope);
    Class* makeClass(AbcUnit& unit, std::uint32_t index, Class* super, const ScopeChain& scope);
    void nameMethods(AbcUnit& unit, Class& c, const std::vector<AbcTrait>& instanceTraits,
                     const std::vector<AbcTrait>& staticTraits);
    void buildTraits(AbcUnit& unit, const std::vector<AbcTrait>& traits, Traits& into, Class* owner);
    Value constantValue(AbcUnit& unit, const AbcConstant& c);
    const Traits& activationTraits(AbcUnit& unit, std::uint32_t body);
    Value getTraitValue(Object* obj, const Trait& t, const Value& receiver);
    Value getDynamic(Object* obj, const Multiname& name);
    void installBuiltins();
    Value execute(Method* method, const Value& thisValue, std::span<const Value> args, const ScopeChain& scope,
                  FunctionObject* callee);
    Class* classNamed(AbcUnit& unit, std::uint32_t multiname, bool orNull);

    Host& host_;
    avm1::ScriptLimits limits_;
    std::vector<std::unique_ptr<Object>> objects_;
    std::deque<Class> classes_;
    std::deque<Method> nativeMethods_;
    std::vector<std::unique_ptr<AbcUnit>> units_;
    Traits builtinTraits_;
    Object* builtinGlobal_ = nullptr;
    Builtins builtins_;
    std::map<Class*, Class*> vectorClasses_;
    DisplayBinding* pendingBinding_ = nullptr;  // by element class (null: *)
    struct BroadcastList {
        std::vector<Object*> order;
        std::unordered_set<Object*> known;
    };
    std::map<std::u16string, BroadcastList, std::less<>> broadcastListeners_;
    String defaultXmlNamespace_;
    std::shared_ptr<void> xmlState_;
    std::shared_ptr<void> timerState_;
    std::shared_ptr<void> soundState_;
    std::map<String, Class*> classAliases_;
    int defaultObjectEncoding_ = 3;
    std::uint32_t nextPrivateId_ = 1;
    std::size_t memory_ = 0;
    std::uint64_t budget_ = 0;
    std::uint64_t actions_ = 0;
    std::uint64_t totalActions_ = 0;
    int depth_ = 0;
    int runs_ = 0;
    int swfVersion_ = 10;
    bool numberStatics_ = false;
    Object* domainMemory_ = nullptr;
    std::vector<const Method*> callStack_;
    bool disabled_ = false;
};

}  // namespace kinolux::avm2
