#include "flash/avm1/object.h"

#include "flash/avm1/function.h"

namespace kinolux::avm1 {

Object::Object(Heap& heap, Value proto) : Object(heap, ObjectKind::Plain, std::move(proto)) {}

Object::Object(Heap& heap, ObjectKind kind, Value proto)
    : GcCell(heap), kind_(kind), hasProto_(!proto.isUndefined()), proto_(std::move(proto)) {}

Object::~Object() {
    if (heap()) heap()->addSlots(-static_cast<std::ptrdiff_t>(props_.size()));
}

void Object::addSlots(std::ptrdiff_t n) {
    if (heap()) heap()->addSlots(n);
}

void Object::setProto(Value proto) {
    proto_ = std::move(proto);
    hasProto_ = true;
}

void Object::removeProtoProperty() {
    proto_ = Value();
    hasProto_ = false;
}

void Object::defineValue(const String& name, Value value, std::uint16_t flags) {
    int i = props_.find(name, true);
    if (i == PropertyMap::kNone) {
        props_.append(Property{name, std::move(value), nullptr, nullptr, flags});
        addSlots(1);
        return;
    }
    Property& p = props_.at(i);
    p.value = std::move(value);
    p.getter.reset();
    p.setter.reset();
    p.flags = flags;
}

void Object::defineAccessor(const String& name, ObjectRef getter, ObjectRef setter,
                            std::uint16_t flags) {
    int i = props_.find(name, true);
    if (i == PropertyMap::kNone) {
        props_.append(Property{name, Value(), std::move(getter), std::move(setter), flags});
        addSlots(1);
        return;
    }
    Property& p = props_.at(i);
    p.getter = std::move(getter);
    p.setter = std::move(setter);
}

Value Object::ownValue(const String& name, bool caseSensitive) const {
    int i = props_.find(name, caseSensitive);
    return i == PropertyMap::kNone ? Value() : props_.at(i).value;
}

void Object::setOwnData(const String& name, Value value, bool caseSensitive) {
    int i = props_.find(name, caseSensitive);
    if (i == PropertyMap::kNone) {
        props_.append(Property{name, std::move(value), nullptr, nullptr, 0});
        addSlots(1);
    } else if (!(props_.at(i).flags & PropertyFlag::ReadOnly)) {
        props_.at(i).value = std::move(value);
    }
}

bool Object::getNative(Vm&, const String&, Value&) { return false; }
bool Object::setNative(Vm&, const String&, const Value&) { return false; }
bool Object::hasNative(Vm&, const String&) { return false; }
void Object::appendNativeKeys(Vm&, std::vector<String>&) {}

Object::Extras& Object::extras() {
    if (!extras_) extras_ = std::make_unique<Extras>();
    return *extras_;
}

const Object::Watcher* Object::findWatcher(const String& name, bool caseSensitive) const {
    if (!extras_) return nullptr;
    for (const Watcher& w : extras_->watchers) {
        if (w.name.equals(name.view(), caseSensitive)) return &w;
    }
    return nullptr;
}

void Object::setWatcher(const String& name, ObjectRef callback, Value userData,
                        bool caseSensitive) {
    for (Watcher& w : extras().watchers) {
        if (w.name.equals(name.view(), caseSensitive)) {
            w.callback = std::move(callback);
            w.userData = std::move(userData);
            return;
        }
    }
    extras().watchers.push_back(Watcher{name, std::move(callback), std::move(userData)});
}

bool Object::removeWatcher(const String& name, bool caseSensitive) {
    if (!extras_) return false;
    auto& list = extras_->watchers;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->name.equals(name.view(), caseSensitive)) {
            list.erase(it);
            return true;
        }
    }
    return false;
}

const std::vector<ObjectRef>& Object::interfaces() const {
    static const std::vector<ObjectRef> kNone;
    return extras_ ? extras_->interfaces : kNone;
}

void Object::setInterfaces(std::vector<ObjectRef> interfaces) {
    extras().interfaces = std::move(interfaces);
}

namespace {
void traceValue(Tracer& tracer, const Value& v) {
    if (v.isObject()) tracer.visit(v.object());
}
}  // namespace

void Object::trace(Tracer& tracer) const {
    traceValue(tracer, proto_);
    traceValue(tracer, primitive_);
    for (const Property& p : props_.entries()) {
        traceValue(tracer, p.value);
        if (p.getter) tracer.visit(p.getter.get());
        if (p.setter) tracer.visit(p.setter.get());
    }
    if (extras_) {
        for (const Watcher& w : extras_->watchers) {
            if (w.callback) tracer.visit(w.callback.get());
            traceValue(tracer, w.userData);
        }
        for (const ObjectRef& i : extras_->interfaces) {
            if (i) tracer.visit(i.get());
        }
    }
}

void Object::clearReferences() {
    addSlots(-static_cast<std::ptrdiff_t>(props_.size()));
    // Move out first: releasing may free cells whose destructors look at
    // nothing of ours, but keep the map consistent while that happens.
    PropertyMap props = std::move(props_);
    props_.clear();
    std::unique_ptr<Extras> extras = std::move(extras_);
    Value proto = std::move(proto_);
    Value primitive = std::move(primitive_);
    proto_ = Value();
    primitive_ = Value();
}

void Scope::trace(Tracer& tracer) const {
    if (parent_) tracer.visit(parent_.get());
    if (object_) tracer.visit(object_.get());
}

void Scope::clearReferences() {
    Ref<Scope> parent = std::move(parent_);
    ObjectRef object = std::move(object_);
}

SuperObject::SuperObject(Heap& heap, ObjectRef thisObject, ObjectRef home)
    : Object(heap, ObjectKind::Super, Value()), this_(std::move(thisObject)), home_(std::move(home)) {}

void SuperObject::trace(Tracer& tracer) const {
    Object::trace(tracer);
    if (this_) tracer.visit(this_.get());
    if (home_) tracer.visit(home_.get());
}

void SuperObject::clearReferences() {
    Object::clearReferences();
    ObjectRef a = std::move(this_);
    ObjectRef b = std::move(home_);
}

FunctionObject::FunctionObject(Heap& heap, Value proto, NativeFunction call, NativeFunction construct)
    : Object(heap, ObjectKind::Function, std::move(proto)), call_(call), construct_(construct) {}

FunctionObject::FunctionObject(Heap& heap, Value proto, std::shared_ptr<const FunctionCode> code,
                               Ref<Scope> scope, ConstantPoolRef pool, ObjectRef baseClip)
    : Object(heap, ObjectKind::Function, std::move(proto)),
      code_(std::move(code)),
      scope_(std::move(scope)),
      pool_(std::move(pool)),
      baseClip_(std::move(baseClip)) {}

void FunctionObject::trace(Tracer& tracer) const {
    Object::trace(tracer);
    if (scope_) tracer.visit(scope_.get());
    if (baseClip_) tracer.visit(baseClip_.get());
}

void FunctionObject::clearReferences() {
    Object::clearReferences();
    Ref<Scope> scope = std::move(scope_);
    ObjectRef clip = std::move(baseClip_);
}

}  // namespace kinolux::avm1
