// Variables by name and by path: "score", "/hud/bar:width", "_root.hud.x",
// "../clip" and the mixtures scripts use, resolved along the scope chain
// and the display list as the player resolves them.
#include "flash/avm1/interpreter.h"
#include "flash/avm1/stage_object.h"
#include "flash/avm1/timeline_actions.h"
#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

namespace {

// The rightmost ':' or '.', which separates an object path from a
// variable name.
std::optional<std::size_t> variableSeparator(std::u16string_view path) {
    std::size_t pos = path.find_last_of(u":.");
    if (pos == std::u16string_view::npos) return std::nullopt;
    return pos;
}

}  // namespace

DisplayObjectBinding* Vm::bindingOf(const Value& v) {
    return v.isObject() ? bindingOf(v.object()) : nullptr;
}

DisplayObjectBinding* Vm::bindingOf(Object* object) {
    if (!object) return nullptr;
    if (object->kind() == ObjectKind::Super) object = static_cast<SuperObject*>(object)->thisObject();
    if (!object || object->kind() != ObjectKind::Stage) return nullptr;
    auto* stage = static_cast<StageObject*>(object);
    if (stage->binding()) return stage->binding();
    // A reference to a clip that left the stage finds its successor.
    DisplayObjectBinding* start = targetClipOrRoot();
    if (!start || stage->path().empty()) return nullptr;
    DisplayObjectBinding* root = start->root();
    ObjectRef found = resolveTargetPath(*this, root ? *root : *start, scriptObjectOf(*start),
                                        stage->path().view(), true);
    if (!found || found->kind() != ObjectKind::Stage) return nullptr;
    return static_cast<StageObject*>(found.get())->binding();
}

DisplayObjectBinding* Vm::targetClipOrRoot() {
    if (activation_) {
        if (activation_->targetClip && activation_->targetClip->binding())
            return activation_->targetClip->binding();
        if (activation_->baseClip && activation_->baseClip->binding())
            return activation_->baseClip->binding()->root();
    }
    return host_.level(0);
}

DisplayObjectBinding* Vm::rootOf(DisplayObjectBinding& object) {
    DisplayObjectBinding* root = object.root();
    return root ? root : &object;
}

Value Vm::rootObject() {
    DisplayObjectBinding* base = activation_ && activation_->baseClip ? activation_->baseClip->binding() : nullptr;
    if (!base) base = host_.level(0);
    if (!base) return Value();
    return Value(scriptObjectOf(*rootOf(*base)));
}

namespace {

// The names from the object up to (not including) its level's root, and
// that level's number; a broken parent chain stops after 1024 steps.
struct PathFromLevel {
    std::vector<String> namesUpward;
    int level = 0;
};

PathFromLevel pathFromLevel(DisplayObjectBinding& object) {
    PathFromLevel path;
    DisplayObjectBinding* p = &object;
    int guard = 0;
    for (; p && p->parent() && guard < 1024; p = p->parent(), ++guard) path.namesUpward.push_back(p->name());
    path.level = p && p->levelNumber() ? *p->levelNumber() : 0;
    return path;
}

std::u16string levelName(int level) {
    std::u16string name = u"_level";
    for (char c : std::to_string(level)) name.push_back(static_cast<char16_t>(c));
    return name;
}

// Appends the names from the top down, each after `separator`.
void appendDownward(std::u16string& out, const std::vector<String>& namesUpward, char16_t separator) {
    for (auto it = namesUpward.rbegin(); it != namesUpward.rend(); ++it) {
        out.push_back(separator);
        out += it->view();
    }
}

}  // namespace

String Vm::targetPath(DisplayObjectBinding& object) {
    PathFromLevel from = pathFromLevel(object);
    std::u16string path = levelName(from.level);
    appendDownward(path, from.namesUpward, u'.');
    return String(path);
}

String Vm::slashPath(DisplayObjectBinding& object) {
    PathFromLevel from = pathFromLevel(object);
    if (from.namesUpward.empty()) return from.level == 0 ? String(u"/") : String(levelName(from.level));
    std::u16string path;
    appendDownward(path, from.namesUpward, u'/');
    return String(path);
}

DisplayObjectBinding* Vm::resolveTarget(const Value& target, bool allowEmpty) {
    if (DisplayObjectBinding* binding = bindingOf(target)) return binding;
    String path = toString(target);
    if (!allowEmpty && path.empty()) return nullptr;
    DisplayObjectBinding* start = targetClipOrRoot();
    if (!start) return nullptr;
    ObjectRef found = resolveTargetPath(*this, *rootOf(*start), scriptObjectOf(*start), path.view(), false);
    return found ? bindingOf(found.get()) : nullptr;
}

ObjectRef resolveTargetPath(Vm& vm, DisplayObjectBinding& root, const ObjectRef& start,
                            std::u16string_view path, bool firstElement) {
    if (path.empty()) return start;
    ObjectRef object = start;
    bool slash = false;
    if (path[0] == u'/') {
        path.remove_prefix(1);
        object = vm.scriptObjectOf(root);
        slash = true;
    }
    const bool cs = vm.caseSensitive();
    int steps = 0;
    while (!path.empty()) {
        if (++steps > 1024) return nullptr;
        while (!path.empty() && path[0] == u':') path.remove_prefix(1);
        if (path.empty()) break;
        Value value;
        if (path.substr(0, 2) == u".." && (path.size() == 2 || path[2] == u'/' || path[2] == u':')) {
            if (path.size() > 2 && path[2] == u'/') slash = true;
            path.remove_prefix(std::min<std::size_t>(3, path.size()));
            DisplayObjectBinding* self = vm.bindingOf(object.get());
            if (!self || !self->parent()) return nullptr;
            value = Value(vm.scriptObjectOf(*self->parent()));
        } else {
            std::size_t pos = 0;
            for (; pos < path.size(); ++pos) {
                char16_t c = path[pos];
                if (c == u':' || (c == u'.' && !slash)) break;
                if (c == u'/') {
                    slash = true;
                    break;
                }
            }
            String name(path.substr(0, pos));
            path.remove_prefix(std::min(pos + 1, path.size()));
            if (firstElement && name == u"this") {
                value = Interpreter::activation(vm) ? Interpreter::activation(vm)->thisValue : Value();
            } else if (firstElement && name == u"_root") {
                value = Value(vm.scriptObjectOf(root));
            } else {
                DisplayObjectBinding* parent = vm.bindingOf(object.get());
                DisplayObjectBinding* child = parent ? parent->childByName(name, cs) : nullptr;
                if (child && child->kind() == DisplayKind::Other) value = Value(object);
                else if (child) value = Value(vm.scriptObjectOf(*child));
                else value = vm.get(object, name);
            }
        }
        firstElement = false;
        if (!value.isObject()) return nullptr;
        object = value.objectRef();
    }
    return object;
}

ObjectRef targetInScopes(Vm& vm, Activation& act, DisplayObjectBinding& root, std::u16string_view path,
                         bool firstElement, const String* mustHave) {
    for (Scope* s = act.scope.get(); s; s = s->parent()) {
        if (!s->object()) continue;
        ObjectRef object = resolveTargetPath(vm, root, s->objectRef(), path, firstElement);
        if (object && (!mustHave || vm.hasProperty(*object, *mustHave))) return object;
    }
    return nullptr;
}

Value resolveName(Vm& vm, Activation& act, const String& name, Value* owner) {
    if (name == u"this") return act.thisValue;
    for (Scope* s = act.scope.get(); s; s = s->parent()) {
        Object* object = s->object();
        if (!object || !vm.hasProperty(*object, name)) continue;
        if (owner) *owner = Value(object);
        return vm.get(ObjectRef(object), name);
    }
    return Value();
}

Value getVariable(Vm& vm, Activation& act, const String& path, Value* owner) {
    if (!path.hasPathCharacters()) return resolveName(vm, act, path, owner);
    DisplayObjectBinding* start = vm.targetClipOrRoot();
    std::u16string_view view = path.view();
    if (auto sep = variableSeparator(view); sep && start) {
        String variable(view.substr(*sep + 1));
        ObjectRef object = targetInScopes(vm, act, *vm.rootOf(*start), view.substr(0, *sep), true, &variable);
        if (!object) return Value();
        if (owner) *owner = Value(object);
        return vm.get(object, variable);
    }
    if (path.hasSlash() && start && act.swfVersion >= 5) {
        if (ObjectRef object = targetInScopes(vm, act, *vm.rootOf(*start), view, false)) return Value(object);
    }
    return resolveName(vm, act, path, owner);
}

void setVariable(Vm& vm, Activation& act, const String& path, const Value& value) {
    if (path.empty()) return;
    if (path == u"this") {
        act.thisValue = value;
        return;
    }
    std::u16string_view view = path.view();
    if (auto sep = path.hasPathCharacters() ? variableSeparator(view) : std::nullopt) {
        DisplayObjectBinding* start = vm.targetClipOrRoot();
        if (!start) return;
        if (ObjectRef object = targetInScopes(vm, act, *vm.rootOf(*start), view.substr(0, *sep), true))
            vm.set(object, String(view.substr(*sep + 1)), value);
        return;
    }
    for (Scope* s = act.scope.get(); s; s = s->parent()) {
        Object* object = s->object();
        if (!object) continue;
        if (s->kind() == ScopeKind::Target || !s->parent() || vm.hasProperty(*object, path)) {
            vm.set(ObjectRef(object), path, value);
            return;
        }
    }
}

Ref<Scope> targetScope(Vm& vm, const Ref<Scope>& scope, const ObjectRef& clip) {
    // A copy of the chain with the timeline link pointing at the new target.
    std::vector<Scope*> links;
    for (Scope* s = scope.get(); s; s = s->parent()) links.push_back(s);
    Ref<Scope> rebuilt;
    for (auto it = links.rbegin(); it != links.rend(); ++it) {
        Scope* s = *it;
        ObjectRef object = s->kind() == ScopeKind::Target ? clip : s->objectRef();
        rebuilt = vm.heap().make<Scope>(rebuilt, s->kind(), object);
    }
    return rebuilt;
}

Value Vm::readVariable(DisplayObjectBinding& timeline, const String& path) {
    Value result;
    Activation act = Activation::forClipEvent(*this, timeline);
    guarded([&] {
        ActivationGuard running(*this, act);
        result = getVariable(*this, act, path);
    });
    return result;
}

void Vm::writeVariable(DisplayObjectBinding& timeline, const String& path, const Value& value) {
    Activation act = Activation::forClipEvent(*this, timeline);
    guarded([&] {
        ActivationGuard running(*this, act);
        setVariable(*this, act, path, value);
    });
}

}  // namespace kinolux::avm1
