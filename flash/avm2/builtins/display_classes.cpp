// flash.events.EventDispatcher and the display classes a document class
// extends, with MovieClip's timeline methods and frame scripts.
#include "flash/avm2/builtins/native.h"
#include "flash/avm2/display_binding.h"

namespace kinolux::avm2 {
namespace {

Object* makeDisplayObject(Vm& vm, Class* cls) {
    auto* o = vm.make<DisplayScriptObject>(ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
    o->binding = vm.takePendingBinding();
    return o;
}

DisplayScriptObject* displayObject(const Value& self) {
    return dynamic_cast<DisplayScriptObject*>(self.object());
}

DisplayBinding* binding(const Value& self) {
    DisplayScriptObject* o = displayObject(self);
    return o ? o->binding : nullptr;
}

Value addFrameScript(Vm& vm, const Value& self, std::span<const Value> args) {
    DisplayScriptObject* o = displayObject(self);
    if (!o) return Value();
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        int frame = toInt32(vm.toNumber(args[i]));
        if (frame < 0) continue;
        const bool had = o->frameScripts.count(frame);
        if (args[i + 1].isNullish()) o->frameScripts.erase(frame);
        else o->frameScripts[frame] = args[i + 1];
        if (o->binding) o->binding->frameScriptChanged(frame, had);
    }
    return Value();
}

Value stop(Vm&, const Value& self, std::span<const Value>) {
    if (DisplayBinding* b = binding(self)) b->stop();
    return Value();
}

Value play(Vm&, const Value& self, std::span<const Value>) {
    if (DisplayBinding* b = binding(self)) b->play();
    return Value();
}

template <bool Play>
Value gotoFrame(Vm&, const Value& self, std::span<const Value> args) {
    if (DisplayBinding* b = binding(self)) b->gotoFrame(arg(args, 0), Play, arg(args, 1));
    return Value();
}

template <int Step>
Value stepFrame(Vm&, const Value& self, std::span<const Value>) {
    if (DisplayBinding* b = binding(self)) b->gotoFrame(Value(double(b->currentFrame() + Step)), false);
    return Value();
}

template <int Step>
Value stepScene(Vm&, const Value& self, std::span<const Value>) {
    if (DisplayBinding* b = binding(self)) b->stepScene(Step);
    return Value();
}

Value currentFrame(Vm&, const Value& self, std::span<const Value>) {
    DisplayBinding* b = binding(self);
    return Value(double(b ? b->currentFrame() : 1));
}

Value totalFrames(Vm&, const Value& self, std::span<const Value>) {
    DisplayBinding* b = binding(self);
    return Value(double(b ? b->totalFrames() : 1));
}

}  // namespace

Object* Vm::constructDisplayObject(Class* cls, DisplayBinding* binding) {
    Object* result = nullptr;
    guarded([&] {
        pendingBinding_ = binding;
        result = construct(cls, {});
        pendingBinding_ = nullptr;
    });
    pendingBinding_ = nullptr;
    return result;
}

void Vm::runFrameScript(Object* clip, int frame) {
    DisplayScriptObject* o = displayObject(Value(clip));
    if (!o) return;
    auto it = o->frameScripts.find(frame);
    if (it != o->frameScripts.end()) runFunction(it->second, Value(clip));
}

void installDisplayClasses(Vm& vm) {
    Class* object = vm.findClass(u"Object");
    Class* dispatcher = vm.defineClass(u"flash.events", u"EventDispatcher", object, makeDisplayObject);
    installEventClasses(vm, dispatcher);
    Class* displayObjectClass = vm.defineClass(u"flash.display", u"DisplayObject", dispatcher, nullptr);
    Class* interactive = vm.defineClass(u"flash.display", u"InteractiveObject", displayObjectClass, nullptr);
    Class* container = vm.defineClass(u"flash.display", u"DisplayObjectContainer", interactive, nullptr);
    Class* sprite = vm.defineClass(u"flash.display", u"Sprite", container, nullptr);
    Class* clip = vm.defineClass(u"flash.display", u"MovieClip", sprite, nullptr);
    vm.defineTraitMethod(clip, u"addFrameScript", addFrameScript);
    vm.defineTraitMethod(clip, u"stop", stop);
    vm.defineTraitMethod(clip, u"play", play);
    vm.defineTraitMethod(clip, u"gotoAndStop", gotoFrame<false>);
    vm.defineTraitMethod(clip, u"gotoAndPlay", gotoFrame<true>);
    vm.defineTraitMethod(clip, u"nextFrame", stepFrame<1>);
    vm.defineTraitMethod(clip, u"prevFrame", stepFrame<-1>);
    vm.defineTraitMethod(clip, u"nextScene", stepScene<1>);
    vm.defineTraitMethod(clip, u"prevScene", stepScene<-1>);
    vm.defineGetter(clip, u"currentFrame", currentFrame);
    vm.defineGetter(clip, u"totalFrames", totalFrames);
    vm.defineClass(u"flash.display", u"Shape", displayObjectClass, nullptr);
}

}  // namespace kinolux::avm2
