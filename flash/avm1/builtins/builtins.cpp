#include "flash/avm1/builtins/builtins.h"

#include <cmath>

#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/stage_object.h"
#include "flash/avm1/timeline_actions.h"

namespace kinolux::avm1::builtins {

void installAll(Vm& vm) {
    installObject(vm);
    installFunction(vm);
    installArray(vm);
    installString(vm);
    installNumber(vm);
    installBoolean(vm);
    installMath(vm);
    installDate(vm);
    installError(vm);
    installAsBroadcaster(vm);
    installGlobalFunctions(vm);
    installSystem(vm);
    installSharedObject(vm);
    installMovieClip(vm);
    installTextFormat(vm);
    installTextField(vm);
    installButton(vm);
    installSound(vm);
    installColor(vm);
    installKey(vm);
    installMouse(vm);
    installStage(vm);
    installSelection(vm);
    installXml(vm);
    installLoadVars(vm);
    installAccessibility(vm);
    installMediaStubs(vm);
    installContextMenu(vm);
    installContextMenuItem(vm);
    installMovieClipLoader(vm);
    installIme(vm);
    installStyleSheet(vm);
    installTextSnapshot(vm);
    installGeom(vm);
    installAsNative(vm);  // last: it refers to the built-ins above
}

ObjectRef makeInstance(Vm& vm, ObjectKind kind, const Value& proto) {
    switch (kind) {
    case ObjectKind::Array: return ObjectRef(vm.heap().make<ArrayObject>(proto));
    case ObjectKind::Sound: return makeSoundObject(vm, proto);
    case ObjectKind::ColorTransform: return makeColorTransform(vm, proto);
    case ObjectKind::TextFormat: return makeTextFormat(vm, proto);
    case ObjectKind::XmlNode: return makeXmlNode(vm, proto);
    case ObjectKind::Plain:
    case ObjectKind::Function:
    case ObjectKind::Stage:
    case ObjectKind::Super: return vm.heap().make<Object>(proto);
    default: return vm.heap().make<Object>(kind, proto);
    }
}

Ref<FunctionObject> defineClass(Vm& vm, Object& owner, std::u16string_view name, NativeFunction call,
                                NativeFunction construct, ObjectRef prototype) {
    if (!prototype) prototype = vm.newObject();
    Ref<FunctionObject> ctor = vm.newNative(call, construct, prototype);
    owner.defineValue(String(name), Value(ObjectRef(ctor)), PropertyFlag::DontEnum);
    return ctor;
}

Matrix matrixFields(Vm& vm, const ObjectRef& object) {
    auto number = [&](const char16_t* name) { return vm.toNumber(vm.get(object, String(name))); };
    Matrix m;
    m.a = number(u"a");
    m.b = number(u"b");
    m.c = number(u"c");
    m.d = number(u"d");
    m.tx = number(u"tx");
    m.ty = number(u"ty");
    return finiteMatrix(m);
}

Matrix finiteMatrix(Matrix m) {
    for (double* f : {&m.a, &m.b, &m.c, &m.d, &m.tx, &m.ty}) {
        if (!std::isfinite(*f)) *f = 0;
    }
    return m;
}

std::uint32_t lengthOf(Vm& vm, const ObjectRef& object) {
    if (!object) return 0;
    std::int32_t n = object->kind() == ObjectKind::Array
                         ? static_cast<ArrayObject*>(object.get())->length()
                         : vm.toInt32(object->ownValue(vm.names().length, vm.caseSensitive()));
    return n < 0 ? 0 : static_cast<std::uint32_t>(n);
}

Value elementOf(Vm& vm, const ObjectRef& object, std::uint32_t index) {
    return object->ownValue(vm.indexName(index), vm.caseSensitive());
}

void setElement(Vm& vm, const ObjectRef& object, std::uint32_t index, const Value& value) {
    if (object->kind() == ObjectKind::Array) {
        auto* array = static_cast<ArrayObject*>(object.get());
        if (static_cast<std::int64_t>(index) >= array->length())
            array->setLength(vm, static_cast<std::int32_t>(index + 1u));
    }
    object->setOwnData(vm.indexName(index), value, vm.caseSensitive());
}

DisplayObjectBinding* thisDisplayObject(Vm& vm, const Value& thisValue) { return vm.bindingOf(thisValue); }

MovieClipBinding* thisMovieClip(Vm& vm, const Value& thisValue) {
    return asMovieClip(vm.bindingOf(thisValue));
}

MovieClipBinding* asMovieClipOf(Vm& vm, const Value& v) {
    DisplayObjectBinding* object = vm.resolveTarget(v, false);
    return object && object->kind() == DisplayKind::MovieClip ? static_cast<MovieClipBinding*>(object) : nullptr;
}

}  // namespace kinolux::avm1::builtins
