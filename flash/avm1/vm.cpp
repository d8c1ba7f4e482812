#include "flash/avm1/vm.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>
#include <unordered_map>

#include "flash/avm1/array_object.h"
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/interpreter.h"
#include "flash/avm1/number_format.h"
#include "flash/avm1/stage_object.h"
#include "flash/avm1/url_encoding.h"

namespace kinolux::avm1 {

Names::Names()
    : length(u"length"),
      prototype(u"prototype"),
      constructor(u"constructor"),
      constructorHidden(u"__constructor__"),
      proto(u"__proto__"),
      resolve(u"__resolve"),
      toString(u"toString"),
      valueOf(u"valueOf"),
      thisName(u"this"),
      arguments(u"arguments"),
      superName(u"super"),
      callee(u"callee"),
      caller(u"caller"),
      global(u"_global"),
      root(u"_root"),
      parent(u"_parent"),
      undefined(u"undefined"),
      onLoad(u"onLoad"),
      onData(u"onData"),
      onSoundComplete(u"onSoundComplete"),
      listeners(u"_listeners"),
      broadcastMessage(u"broadcastMessage") {}

Vm::Vm(Host& host, int rootSwfVersion, ScriptLimits limits)
    : host_(host),
      rootSwfVersion_(rootSwfVersion),
      limits_(limits),
      runningSwfVersion_(rootSwfVersion),
      random_(std::random_device{}()) {
    installBuiltins();
}

Vm::~Vm() {
    // Drop what the machine holds before the heap breaks the cycles.
    stack_.clear();
    for (Value& r : globalRegisters_) r = Value();
    timers_.clear();
    requests_.clear();
    registeredClasses_.clear();
    lastConstantPool_.reset();
}

void Vm::installBuiltins() {
    protos_.object = heap_.make<Object>(Value());
    protos_.function = heap_.make<Object>(Value(protos_.object));
    global_ = heap_.make<Object>(Value());  // no prototype, as in the player
    globalScope_ = heap_.make<Scope>(nullptr, ScopeKind::Global, global_);
    builtins::installAll(*this);
}

void Vm::setLimitsFromMovie(int maxRecursionDepth, int timeoutSeconds) {
    if (maxRecursionDepth > 0) limits_.maxCallDepth = std::min(maxRecursionDepth, 65535);
    if (timeoutSeconds > 0) limits_.timeLimitSeconds = timeoutSeconds;
}

// ---- runs and limits ----

void Vm::beginRun() {
    if (runDepth_++ == 0 && !budgetShared_) startBudget();
}

void Vm::startBudget() {
    actionsLeft_ = limits_.actionBudget() + 1;
    runStarted_ = std::chrono::steady_clock::now();
}

void Vm::endRun() {
    if (--runDepth_ == 0) {
        // Values scripts leave behind wait for the next script; a movie that
        // leaves some every frame keeps only the newest.
        if (stack_.size() > kMaxLeftoverValues)
            stack_.erase(stack_.begin(), stack_.end() - static_cast<std::ptrdiff_t>(kMaxLeftoverValues));
        callDepth_ = 0;
        specialDepth_ = 0;
    }
}

void Vm::handleAbort(const ScriptAbort& a) {
    if (scriptsStopped_ && a.stopsMovie() && std::string_view(a.what()).empty()) return;
    if (runDepth_ <= 1) stack_.clear();  // an enclosing script still stands on its values
    if (*a.what()) host_.scriptError(a.what());
    if (a.stopsMovie()) {
        scriptsStopped_ = true;
        // An enclosing script (one that called into the player, which ran
        // this one) stops at its next action.
        actionsLeft_ = 1;
    }
}

void Vm::reportUncaught(const Value& thrown) {
    static const String kPrefix = String::fromAscii("Warning: Uncaught exception, ");
    try {
        trace(String::concat(kPrefix, toString(thrown)));
    } catch (const ScriptThrow&) {
        // Its toString threw in turn: nothing left to name it by.
    }
}

void Vm::budgetExhausted() {
    if (scriptsStopped_) throw ScriptAbort("", true);
    abort(LimitMessage::kTimeout, true);
}

void Vm::periodicCheck() {
    // The wall clock backs up the action count against built-ins that
    // are slow without running actions.
    auto elapsed = std::chrono::steady_clock::now() - runStarted_;
    if (elapsed > std::chrono::duration<double>(limits_.timeLimitSeconds * 2))
        abort(LimitMessage::kTimeout, true);
    if (heap_.estimatedBytes() > limits_.maxMemoryBytes && !heap_.withinBudget(limits_.maxMemoryBytes))
        abort(LimitMessage::kMemory, true);
}

void Vm::charge(std::uint64_t actions) {
    if (actions >= actionsLeft_) budgetExhausted();
    actionsLeft_ -= actions;
}

void Vm::abort(const std::string& message, bool stopsMovie) { throw ScriptAbort(message, stopsMovie); }

void Vm::checkStringLength(std::size_t length) {
    if (length > limits_.maxStringLength) abort(LimitMessage::kString, true);
}

void Vm::checkArrayLength(double length) {
    if (length > static_cast<double>(limits_.maxArrayLength)) abort(LimitMessage::kArray, true);
}

void Vm::checkRoomForSlots(std::size_t count) {
    const std::size_t needed = count * Heap::kSlotBytes;
    if (needed > limits_.maxMemoryBytes) abort(LimitMessage::kMemory, true);
    const std::size_t budget = limits_.maxMemoryBytes - needed;
    if (heap_.estimatedBytes() > budget && !heap_.withinBudget(budget)) abort(LimitMessage::kMemory, true);
}

// ---- display objects ----

ObjectRef Vm::scriptObjectOf(DisplayObjectBinding& object) {
    if (object.scriptObject_) return object.scriptObject_;
    ObjectRef proto;
    switch (object.kind()) {
    case DisplayKind::MovieClip: proto = protos_.movieClip; break;
    case DisplayKind::Button: proto = protos_.button; break;
    case DisplayKind::TextField: proto = protos_.textField; break;
    default: proto = protos_.object; break;
    }
    auto stage = heap_.make<StageObject>(Value(proto), object, targetPath(object));
    object.scriptObject_ = ObjectRef(stage);
    return object.scriptObject_;
}

Ref<StageObject> stageObjectOf(Vm& vm, DisplayObjectBinding* binding) {
    if (!binding) return nullptr;
    return Ref<StageObject>(static_cast<StageObject*>(vm.scriptObjectOf(*binding).get()));
}

void Vm::constructDisplayObject(DisplayObjectBinding& object, const ObjectRef& initObject) {
    guarded([&] {
        ObjectRef self = scriptObjectOf(object);
        Value constructor;
        if (!object.exportName().empty()) {
            for (const auto& [name, ctor] : registeredClasses_) {
                if (object.exportedAs(name, caseSensitive())) constructor = ctor;
            }
        }
        Activation act = Activation::forClipEvent(*this, object);
        ActivationGuard running(*this, act);
        if (constructor.isObject()) self->setProto(get(constructor.objectRef(), names_.prototype));
        if (object.levelNumber()) {
            // Each level's root carries the player version, as $version.
            Value system = global_->ownValue(String(u"System"), true);
            Value caps = system.isObject() ? system.object()->ownValue(String(u"capabilities"), true) : Value();
            Value version = caps.isObject() ? caps.object()->ownValue(String(u"version"), true) : Value();
            self->defineValue(String(u"$version"), version, PropertyFlag::DontEnum);
        }
        // A text field is the first listener to its own events.
        if (object.kind() == DisplayKind::TextField)
            self->defineValue(names_.listeners, Value(ObjectRef(newArray({Value(self)}))), PropertyFlag::DontEnum);
        if (initObject) {
            // In the reverse of for..in order, as the player copies them.
            std::vector<String> keys = enumerate(*initObject);
            for (auto key = keys.rbegin(); key != keys.rend(); ++key) set(self, *key, get(initObject, *key));
        }
        // A clip's construct event, as a method (onConstruct), comes first.
        if (object.kind() == DisplayKind::MovieClip && act.swfVersion >= 6) {
            Value handler = get(self, String(u"onConstruct"));
            if (handler.isObject()) call(handler, Value(self), {});
        }
        if (constructor.isObject() && constructor.object()->kind() == ObjectKind::Function) {
            self->defineValue(names_.constructorHidden, constructor, PropertyFlag::DontEnum);
            if (swfVersion() < 7) self->defineValue(names_.constructor, constructor, PropertyFlag::DontEnum);
            callWithHome(constructor, Value(self), {}, self->proto());
        }
    });
}

void Vm::runTopLevel(DisplayObjectBinding& clip, const ActionBlock& code) {
    guarded([&] { runNested(*this, clip, code); });
}

void runNested(Vm& vm, DisplayObjectBinding& clip, const ActionBlock& code) {
    Activation act = Activation::forFrame(vm, clip, code);
    ActivationGuard running(vm, act);
    execute(vm, act);
}

void Vm::runFrameActions(DisplayObjectBinding& clip, const ActionBlock& code) { runTopLevel(clip, code); }
void Vm::runInitActions(DisplayObjectBinding& clip, const ActionBlock& code) { runTopLevel(clip, code); }
void Vm::runClipActions(DisplayObjectBinding& clip, const ActionBlock& code) { runTopLevel(clip, code); }

void Vm::runButtonActions(DisplayObjectBinding& button, const ActionBlock& code) {
    DisplayObjectBinding* timeline = button.parent();
    runTopLevel(timeline ? *timeline : button, code);
}

Value Vm::callMethod(DisplayObjectBinding& object, std::u16string_view name, Args args) {
    Value result;
    guarded([&] {
        Activation act = Activation::forClipEvent(*this, object);
        ActivationGuard running(*this, act);
        result = callMethod(act.thisValue, String(name), args);
    });
    return result;
}

bool Vm::hasMethod(DisplayObjectBinding& object, std::u16string_view name) {
    bool found = false;
    guarded([&] {
        Activation act = Activation::forClipEvent(*this, object);
        ActivationGuard running(*this, act);
        found = get(scriptObjectOf(object), String(name)).isObject();
    });
    return found;
}

void Vm::broadcast(std::u16string_view objectName, std::u16string_view event, Args args) {
    guarded([&] {
        Activation act = Activation::forLevel0(*this);
        ActivationGuard running(*this, act);
        Value source = get(global_, String(objectName));
        if (!source.isObject()) return;
        std::vector<Value> callArgs{Value(String(event))};
        callArgs.insert(callArgs.end(), args.begin(), args.end());
        callMethod(source, names_.broadcastMessage, callArgs);
    });
}

void Vm::notifyKeyDown() { broadcast(u"Key", u"onKeyDown"); }
void Vm::notifyKeyUp() { broadcast(u"Key", u"onKeyUp"); }
void Vm::notifyMouseDown() { broadcast(u"Mouse", u"onMouseDown"); }
void Vm::notifyMouseUp() { broadcast(u"Mouse", u"onMouseUp"); }
void Vm::notifyMouseMove() { broadcast(u"Mouse", u"onMouseMove"); }
void Vm::notifyStageResize() { broadcast(u"Stage", u"onResize"); }

void Vm::notifyFocusChange(DisplayObjectBinding* old, DisplayObjectBinding* now) {
    auto valueOf = [&](DisplayObjectBinding* b) { return b ? Value(scriptObjectOf(*b)) : Value::null(); };
    if (old) {
        Value args[] = {valueOf(now)};
        callMethod(*old, u"onKillFocus", args);
    }
    if (now) {
        Value args[] = {valueOf(old)};
        callMethod(*now, u"onSetFocus", args);
    }
    Value args[] = {valueOf(old), valueOf(now)};
    broadcast(u"Selection", u"onSetFocus", args);
}

void Vm::callLinkFunction(DisplayObjectBinding& timeline, const String& path, const std::optional<String>& arg) {
    guarded([&] {
        Activation act = Activation::forClipEvent(*this, timeline);
        ActivationGuard running(*this, act);
        Value owner;
        const Value function = getVariable(*this, act, path, &owner);
        if (!function.isObject()) return;
        std::vector<Value> args;
        if (arg) args.emplace_back(*arg);
        call(function, owner, args);
    });
}

void Vm::notifyTextChanged(DisplayObjectBinding& field) {
    Value args[] = {Value(String(u"onChanged")), Value(scriptObjectOf(field))};
    callMethod(field, u"broadcastMessage", args);
}

void Vm::notifyMouseWheel(int delta, DisplayObjectBinding* target) {
    Value args[] = {Value(delta), target ? Value(scriptObjectOf(*target)) : Value()};
    broadcast(u"Mouse", u"onMouseWheel", args);
}

// ---- timers ----

std::uint32_t Vm::addTimer(Timer timer) {
    timer.id = nextTimerId_++;
    timers_.push_back(std::move(timer));
    return timers_.back().id;
}

bool Vm::removeTimer(std::uint32_t id) {
    auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers_.end()) return false;
    timers_.erase(it);
    return true;
}

std::optional<double> Vm::nextTimerDue() const {
    std::optional<double> due;
    for (const Timer& t : timers_) {
        if (!due || t.dueMs < *due) due = t.dueMs;
    }
    return due;
}

namespace {
// Between two frames the player services its timers as their times come
// round: an interval at most every 10 ms and at most ten times, so that a
// stall is not made up all at once.
constexpr double kShortestIntervalMs = 10;
constexpr int kMostRunsPerCall = 10;
}  // namespace

void Vm::runTimers() {
    const double now = host_.timerMilliseconds();
    // Timers run in the order they fell due; a timer a callback adds waits
    // for the next call, and what a callback queued runs before the next.
    // The timers stay in the order of their ids, which find them quickly.
    using Due = std::pair<double, std::uint32_t>;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> due;
    for (const Timer& t : timers_)
        if (t.dueMs <= now) due.emplace(t.dueMs, t.id);
    std::unordered_map<std::uint32_t, int> runs;
    std::vector<std::uint32_t> spent;  // timeouts that ran, taken out at the end
    auto find = [&](std::uint32_t id) {
        auto it = std::lower_bound(timers_.begin(), timers_.end(), id,
                                   [](const Timer& t, std::uint32_t wanted) { return t.id < wanted; });
        return it != timers_.end() && it->id == id ? it : timers_.end();
    };
    while (!due.empty()) {
        const auto [when, id] = due.top();
        due.pop();
        auto it = find(id);
        if (it == timers_.end() || it->dueMs != when) continue;  // cleared, or moved by a callback
        Timer timer = *it;
        if (timer.repeat) {
            const double step = std::max(timer.intervalMs, kShortestIntervalMs);
            it->dueMs = timer.dueMs + step;
            if (++runs[id] < kMostRunsPerCall) {
                if (it->dueMs <= now) due.emplace(it->dueMs, id);
            } else if (it->dueMs <= now) {
                it->dueMs = now + step;
            }
        } else {
            it->dueMs = std::numeric_limits<double>::infinity();
            spent.push_back(id);
        }
        guarded([&] {
            Activation act = Activation::forLevel0(*this, Activation::Level0Scope::Timeline);
            ActivationGuard running(*this, act);
            if (timer.method.empty()) call(timer.function, Value(), timer.args);
            else callMethod(timer.function, timer.method, timer.args);
        });
        host_.runQueuedScripts();
    }
    if (spent.empty()) return;
    std::sort(spent.begin(), spent.end());
    std::erase_if(timers_, [&](const Timer& t) { return std::binary_search(spent.begin(), spent.end(), t.id); });
}

// ---- loading ----

std::uint32_t Vm::startRequest(const ObjectRef& target) {
    std::uint32_t id = nextRequestId_++;
    requests_[id] = target;
    return id;
}

void Vm::completeRequest(std::uint32_t id, const std::optional<std::string>& text) {
    auto it = requests_.find(id);
    if (it == requests_.end()) return;
    ObjectRef target = it->second;
    requests_.erase(it);
    Value arg = text ? Value(String::fromSwf(*text, rootSwfVersion_)) : Value();
    invoke(target, u"onData", Args(&arg, 1));
}

Value Vm::invoke(const ObjectRef& object, std::u16string_view name, Args args) {
    Value result;
    guarded([&] {
        Activation act = Activation::forLevel0(*this);
        ActivationGuard running(*this, act);
        result = callMethod(Value(object), String(name), args);
    });
    return result;
}

void Vm::deliverVariables(DisplayObjectBinding& target, std::string_view urlEncoded) {
    guarded([&] {
        ObjectRef self = scriptObjectOf(target);
        Activation act = Activation::forClipEvent(*this, target);
        ActivationGuard running(*this, act);
        for (const auto& [name, value] : decodeUrlVariables(urlEncoded, swfVersion()))
            set(self, name, Value(value));
    });
}

// ---- objects ----

String Vm::indexName(std::uint32_t index) {
    constexpr std::uint32_t kCached = 4096;
    if (index < kCached) {
        if (indexNames_.empty()) {
            indexNames_.reserve(kCached);
            for (std::uint32_t i = 0; i < kCached; ++i) indexNames_.push_back(String::fromAscii(std::to_string(i)));
        }
        return indexNames_[index];
    }
    return String::fromAscii(std::to_string(index));
}

double Vm::randomUnit() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }

std::uint32_t Vm::randomBelow(std::uint32_t bound) {
    if (bound == 0) return 0;
    return std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(random_);
}

ObjectRef Vm::newObject() { return heap_.make<Object>(Value(protos_.object)); }

Ref<ArrayObject> Vm::newArray() { return heap_.make<ArrayObject>(Value(protos_.array)); }

Ref<ArrayObject> Vm::newArray(std::vector<Value> elements) {
    Ref<ArrayObject> array = newArray();
    for (Value& v : elements) array->pushRaw(*this, std::move(v));
    return array;
}

Ref<FunctionObject> Vm::newNative(NativeFunction call, NativeFunction construct,
                                  const ObjectRef& prototype) {
    auto fn = heap_.make<FunctionObject>(Value(protos_.function), call, construct);
    if (protos_.functionClass)
        fn->defineValue(names_.constructor, Value(protos_.functionClass), PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    if (prototype) {
        prototype->defineValue(names_.constructor, Value(ObjectRef(fn)), PropertyFlag::DontEnum);
        fn->defineValue(names_.prototype, Value(prototype), PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    }
    return fn;
}

void Vm::defineMethod(Object& target, std::u16string_view name, NativeFunction fn, std::uint16_t flags) {
    target.defineValue(String(name), Value(ObjectRef(newNative(fn))), flags);
}

void Vm::defineProperty(Object& target, std::u16string_view name, NativeFunction getter,
                        NativeFunction setter, std::uint16_t flags) {
    ObjectRef set = setter ? ObjectRef(newNative(setter)) : nullptr;
    target.defineAccessor(String(name), ObjectRef(newNative(getter)), set, flags);
}

ObjectRef Vm::createInstance(const Value& proto) {
    ObjectKind kind = ObjectKind::Plain;
    int depth = 0;
    for (Object* p = proto.isObject() ? proto.object() : nullptr; p && depth < 256; p = p->proto(), ++depth) {
        if (p->instanceKind() != ObjectKind::Plain) {
            kind = p->instanceKind();
            break;
        }
    }
    return builtins::makeInstance(*this, kind, proto);
}

ObjectRef Vm::box(const Value& primitive) {
    switch (primitive.type()) {
    case ValueType::Boolean: {
        auto o = heap_.make<Object>(ObjectKind::Boolean, Value(protos_.boolean));
        o->setPrimitive(primitive);
        return o;
    }
    case ValueType::Number: {
        auto o = heap_.make<Object>(ObjectKind::Number, Value(protos_.number));
        o->setPrimitive(primitive);
        return o;
    }
    case ValueType::String: {
        auto o = heap_.make<Object>(ObjectKind::String, Value(protos_.string));
        o->setPrimitive(primitive);
        o->defineValue(names_.length, Value(primitive.string().size()), PropertyFlag::DontEnum | PropertyFlag::DontDelete);
        return o;
    }
    default: return nullptr;
    }
}

void Vm::registerClass(const String& linkage, const Value& constructor) {
    for (auto& entry : registeredClasses_) {
        if (entry.first == linkage) {
            entry.second = constructor;
            return;
        }
    }
    registeredClasses_.emplace_back(linkage, constructor);
}

void Vm::trace(const String& text) {
    std::u16string units(text.view());
    for (char16_t& c : units) {
        if (c == u'\r') c = u'\n';
    }
    host_.trace(avm1::toUtf8(units));
}

}  // namespace kinolux::avm1
