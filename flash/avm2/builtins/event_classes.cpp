// flash.events.Event and EventDispatcher's listeners. An event on a display
// object goes down its ancestors (capture), to it, and back up (bubbling,
// for events that bubble).
#include "flash/avm2/builtins/native.h"
#include "flash/avm2/display_binding.h"

namespace kinolux::avm2 {
namespace {

class EventObject : public Object {
public:
    using Object::Object;
    String type;
    bool bubbles = false, cancelable = false, defaultPrevented = false, stopped = false, stoppedNow = false;
    Value target = Value::null(), currentTarget = Value::null();
    int phase = 2;
};

Object* makeEvent(Vm& vm, Class* cls) {
    return vm.make<EventObject>(ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
}

EventObject* asEvent(const Value& v) {
    Object* o = v.object();
    return o && o->cls && o->cls->makeInstance == makeEvent ? static_cast<EventObject*>(o) : nullptr;
}

EventObject& thisEvent(Vm& vm, const Value& self) {
    EventObject* e = asEvent(self);
    if (!e)
        throwNotA(vm, self, "flash.events.Event");
    return *e;
}

Value eventInit(Vm& vm, const Value& self, std::span<const Value> args) {
    EventObject& e = thisEvent(vm, self);
    e.type = vm.toString(arg(args, 0));
    e.bubbles = toBoolean(arg(args, 1));
    e.cancelable = toBoolean(arg(args, 2));
    return Value();
}

// A getter (or a method without arguments) of one of the event's fields.
template <auto Field>
Value eventField(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(thisEvent(vm, self).*Field);
}

Value preventDefault(Vm& vm, const Value& self, std::span<const Value>) {
    EventObject& e = thisEvent(vm, self);
    if (e.cancelable) e.defaultPrevented = true;
    return Value();
}

Value stopPropagation(Vm& vm, const Value& self, std::span<const Value>) {
    thisEvent(vm, self).stopped = true;
    return Value();
}

Value stopImmediatePropagation(Vm& vm, const Value& self, std::span<const Value>) {
    EventObject& e = thisEvent(vm, self);
    e.stopped = e.stoppedNow = true;
    return Value();
}

Value cloneEvent(Vm& vm, const Value& self, std::span<const Value>) {
    EventObject& e = thisEvent(vm, self);
    Value args[] = {Value(e.type), Value(e.bubbles), Value(e.cancelable)};
    return Value(vm.construct(vm.findClass(u"flash.events.Event"), args));
}

// [Event type="enterFrame" bubbles=false cancelable=false eventPhase=2]
Value formatToString(Vm& vm, const Value& self, std::span<const Value> args) {
    std::u16string out = u"[";
    out += vm.toString(arg(args, 0)).view();
    for (std::size_t i = 1; i < args.size(); ++i) {
        String name = vm.toString(args[i]);
        Value v = vm.getPublic(self, name.view());
        out += u" ";
        out += name.view();
        out += u"=";
        if (v.isString()) out += u"\"" + std::u16string(v.string().view()) + u"\"";
        else out += vm.toString(v).view();
    }
    out += u"]";
    return Value(String(out));
}

Value eventToString(Vm& vm, const Value& self, std::span<const Value>) {
    Value args[] = {Value(vm.classOf(self)->name), Value(u"type"), Value(u"bubbles"), Value(u"cancelable"),
                    Value(u"eventPhase")};
    return formatToString(vm, self, args);
}

constexpr int kCapturing = 1, kAtTarget = 2, kBubbling = 3;
// Deeper display lists than any real movie's stop the walk up.
constexpr std::size_t kMaxAncestors = 4096;

DisplayScriptObject* dispatcherOf(const Value& self) { return dynamic_cast<DisplayScriptObject*>(self.object()); }

// Reading a method off an object makes a new closure each time, so
// `this.handler` names the same listener however often it is read.
bool sameListener(const Value& a, const Value& b) {
    if (a.object() == b.object()) return true;
    auto* fa = dynamic_cast<FunctionObject*>(a.object());
    auto* fb = dynamic_cast<FunctionObject*>(b.object());
    return fa && fb && fa->bound && fb->bound && fa->method == fb->method &&
           fa->boundThis.object() == fb->boundThis.object();
}

Value addEventListener(Vm& vm, const Value& self, std::span<const Value> args) {
    DisplayScriptObject* d = dispatcherOf(self);
    Value fn = arg(args, 1);
    if (!fn.object()) throwNullParameter(vm, "listener");
    if (!d) return Value();
    String type = vm.toString(arg(args, 0));
    bool capture = toBoolean(arg(args, 2));
    for (const auto& l : d->listeners)
        if (l.type == type && l.capture == capture && sameListener(l.function, fn)) return Value();
    int priority = int(toInt32(vm.toNumber(arg(args, 3))));
    auto at = d->listeners.begin();
    while (at != d->listeners.end() && at->priority >= priority) ++at;
    d->listeners.insert(at, {type, fn, capture, priority});
    vm.noteBroadcastListener(type.view(), d);
    return Value();
}

Value removeEventListener(Vm& vm, const Value& self, std::span<const Value> args) {
    DisplayScriptObject* d = dispatcherOf(self);
    if (!d) return Value();
    String type = vm.toString(arg(args, 0));
    bool capture = toBoolean(arg(args, 2));
    std::erase_if(d->listeners, [&](const DisplayScriptObject::Listener& l) {
        return l.type == type && l.capture == capture && sameListener(l.function, arg(args, 1));
    });
    return Value();
}

Value hasEventListener(Vm& vm, const Value& self, std::span<const Value> args) {
    DisplayScriptObject* d = dispatcherOf(self);
    if (!d) return Value(false);
    String type = vm.toString(arg(args, 0));
    for (const auto& l : d->listeners)
        if (l.type == type) return Value(true);
    return Value(false);
}

Value dispatchEventMethod(Vm& vm, const Value& self, std::span<const Value> args) {
    Value event = arg(args, 0);
    if (!asEvent(event)) throwNullParameter(vm, "event");
    // An event already on its way elsewhere is cloned, as the player does.
    if (!asEvent(event)->target.isNull()) event = vm.callProperty(event, Multiname::publicName(String(u"clone")), {});
    EventObject* e = asEvent(event);
    // A clone() that gave nothing back leaves no event to send.
    requireNonNull(vm, event, "event");
    if (!e)
        vm.throwError(ErrorType::TypeError, "Error #1034: Type Coercion failed: clone() did not return an Event.",
                      1034);
    e->target = self;
    // The ancestors the event passes, nearest first.
    std::vector<Object*> ancestors;
    for (DisplayScriptObject* d = dispatcherOf(self); d && d->binding && ancestors.size() < kMaxAncestors;) {
        Object* parent = d->binding->parentObject();
        if (!parent) break;
        ancestors.push_back(parent);
        d = dispatcherOf(Value(parent));
    }
    auto deliver = [&](Object* at, int phase) {
        DisplayScriptObject* d = dispatcherOf(Value(at));
        if (!d || e->stopped) return;
        e->currentTarget = Value(at);
        e->phase = phase;
        auto listeners = d->listeners;
        for (const auto& l : listeners) {
            if (l.type != e->type || l.capture != (phase == kCapturing)) continue;
            Value callArgs[] = {event};
            vm.call(l.function, Value::null(), callArgs);
            if (e->stoppedNow) break;
        }
    };
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) deliver(*it, kCapturing);
    deliver(self.object(), kAtTarget);
    if (e->bubbles)
        for (Object* at : ancestors) deliver(at, kBubbling);
    return Value(!e->defaultPrevented);
}

}  // namespace

void Vm::dispatchSimpleEvent(Object* target, std::u16string_view type) {
    DisplayScriptObject* d = dispatcherOf(Value(target));
    if (!d || d->listeners.empty()) return;
    guarded([&] {
        Value args[] = {Value(String(type))};
        Value event(construct(findClass(u"flash.events.Event"), args));
        Value dispatchArgs[] = {event};
        dispatchEventMethod(*this, Value(target), dispatchArgs);
    });
}

namespace {
constexpr std::u16string_view kBroadcastEvents[] = {u"enterFrame", u"frameConstructed", u"exitFrame", u"render"};
}  // namespace

const std::vector<Object*>& Vm::broadcastListeners(std::u16string_view type) const {
    static const std::vector<Object*> none;
    auto it = broadcastListeners_.find(type);
    return it == broadcastListeners_.end() ? none : it->second.order;
}

void Vm::noteBroadcastListener(std::u16string_view type, Object* listener) {
    if (std::find(std::begin(kBroadcastEvents), std::end(kBroadcastEvents), type) == std::end(kBroadcastEvents)) return;
    auto& list = broadcastListeners_[std::u16string(type)];
    if (list.known.insert(listener).second) list.order.push_back(listener);
}

void installEventClasses(Vm& vm, Class* dispatcher) {
    Class* event = vm.defineClass(u"flash.events", u"Event", vm.findClass(u"Object"), makeEvent);
    vm.defineConstructor(event, eventInit);
    vm.defineGetter(event, u"type", eventField<&EventObject::type>);
    vm.defineGetter(event, u"bubbles", eventField<&EventObject::bubbles>);
    vm.defineGetter(event, u"cancelable", eventField<&EventObject::cancelable>);
    vm.defineGetter(event, u"target", eventField<&EventObject::target>);
    vm.defineGetter(event, u"currentTarget", eventField<&EventObject::currentTarget>);
    vm.defineGetter(event, u"eventPhase", eventField<&EventObject::phase>);
    vm.defineTraitMethod(event, u"clone", cloneEvent);
    vm.defineTraitMethod(event, u"toString", eventToString);
    vm.defineTraitMethod(event, u"formatToString", formatToString);
    vm.defineTraitMethod(event, u"isDefaultPrevented", eventField<&EventObject::defaultPrevented>);
    vm.defineTraitMethod(event, u"preventDefault", preventDefault);
    vm.defineTraitMethod(event, u"stopPropagation", stopPropagation);
    vm.defineTraitMethod(event, u"stopImmediatePropagation", stopImmediatePropagation);
    for (auto [name, value] : {std::pair{u"ENTER_FRAME", u"enterFrame"},
                               {u"EXIT_FRAME", u"exitFrame"},
                               {u"FRAME_CONSTRUCTED", u"frameConstructed"},
                               {u"ADDED", u"added"},
                               {u"ADDED_TO_STAGE", u"addedToStage"},
                               {u"REMOVED", u"removed"},
                               {u"REMOVED_FROM_STAGE", u"removedFromStage"},
                               {u"COMPLETE", u"complete"},
                               {u"CHANGE", u"change"},
                               {u"INIT", u"init"},
                               {u"RENDER", u"render"},
                               {u"RESIZE", u"resize"},
                               {u"ACTIVATE", u"activate"},
                               {u"DEACTIVATE", u"deactivate"},
                               {u"OPEN", u"open"},
                               {u"CLOSE", u"close"},
                               {u"CANCEL", u"cancel"},
                               {u"SELECT", u"select"},
                               {u"UNLOAD", u"unload"},
                               {u"SOUND_COMPLETE", u"soundComplete"}})
        vm.defineConstant(event, name, Value(String(value)));
    vm.defineTraitMethod(dispatcher, u"addEventListener", addEventListener);
    vm.defineTraitMethod(dispatcher, u"removeEventListener", removeEventListener);
    vm.defineTraitMethod(dispatcher, u"hasEventListener", hasEventListener);
    vm.defineTraitMethod(dispatcher, u"willTrigger", hasEventListener);
    vm.defineTraitMethod(dispatcher, u"dispatchEvent", dispatchEventMethod);
}

}  // namespace kinolux::avm2
