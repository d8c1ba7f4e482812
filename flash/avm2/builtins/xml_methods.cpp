// The methods of XML and XMLList. Most apply to every node of a list (an
// XML being a list of itself); the ones about a single node need a list of
// exactly one.
#include "flash/avm2/builtins/native.h"
#include "flash/avm2/builtins/xml.h"

namespace kinolux::avm2 {
namespace {

Value listValue(Vm& vm, std::vector<XmlObject*> nodes, XmlObject* target = nullptr,
                std::optional<XmlName> targetName = std::nullopt) {
    return Value(static_cast<Object*>(newXmlList(vm, std::move(nodes), target, std::move(targetName))));
}

Object* selfObject(Vm& vm, const Value& self) {
    Object* o = self.object();
    if (!o || (o->kind != ObjectKind::Xml && o->kind != ObjectKind::XmlList))
        vm.throwError(ErrorType::TypeError, "Error #1034: Type Coercion failed: the object is not XML.", 1034);
    return o;
}

std::vector<XmlObject*> nodes(Vm& vm, const Value& self) { return xmlNodesOf(selfObject(vm, self)); }

// The methods whose parameters have no default insist on their arguments.
void requireArguments(Vm& vm, const Value& self, std::span<const Value> args, std::size_t count, const char* method) {
    if (args.size() >= count) return;
    const char* cls = self.object() && self.object()->kind == ObjectKind::XmlList ? "XMLList" : "XML";
    vm.throwError(ErrorType::ArgumentError,
                  std::string("Error #1063: Argument count mismatch on ") + cls + "/" + method + "(). Expected " +
                      std::to_string(count) + ", got " + std::to_string(args.size()) + ".",
                  1063);
}

// The node of an XML, or of an XMLList of one.
XmlObject* single(Vm& vm, const Value& self, const char* method) {
    Object* o = selfObject(vm, self);
    if (o->kind == ObjectKind::Xml) return static_cast<XmlObject*>(o);
    auto& items = static_cast<XmlListObject*>(o)->items;
    if (items.size() != 1)
        vm.throwError(ErrorType::TypeError,
                      std::string("Error #1086: The ") + method + " method only works on lists containing one item.",
                      1086);
    return items[0];
}

XmlObject* onlyNode(Object* o) {
    if (o->kind == ObjectKind::Xml) return static_cast<XmlObject*>(o);
    auto& items = static_cast<XmlListObject*>(o)->items;
    return items.size() == 1 ? items[0] : nullptr;
}

Value namespaceObject(Vm& vm, const String& uri, const String& prefix) {
    Class* ns = vm.builtins().namespaceClass;
    Value args[] = {Value(prefix), Value(uri)};
    return vm.constructValue(Value(static_cast<Object*>(ns->object)), args);
}

// The prefix a node's namespace is declared with where the node is.
String prefixInScope(const XmlObject* x, const String& uri) {
    for (const XmlObject* e = x; e; e = e->parent)
        for (const XmlNamespace& ns : e->declarations)
            if (ns.uri == uri) return ns.prefix;
    return x->prefix;
}

// A value made into nodes for insertion into a tree: XML nodes move (from
// their old parent), anything else becomes a text node.
std::vector<XmlObject*> insertable(Vm& vm, const Value& v, XmlObject* into) {
    std::vector<XmlObject*> out;
    Object* o = v.object();
    if (o && (o->kind == ObjectKind::Xml || o->kind == ObjectKind::XmlList)) {
        for (XmlObject* x : xmlNodesOf(o)) {
            for (const XmlObject* p = into; p; p = p->parent)
                if (p == x)
                    vm.throwError(ErrorType::TypeError,
                                  "Error #1118: Illegal cyclical loop between nodes.", 1118);
            if (x->nodeKind == XmlKind::Attribute || x->nodeKind == XmlKind::Text) {
                out.push_back(xmlTextNode(vm, x->text));
                continue;
            }
            // Movies before SWF 21 leave the node where it was as well.
            if (vm.swfVersion() >= 21) xmlDetach(x);
            out.push_back(x);
        }
        return out;
    }
    out.push_back(xmlTextNode(vm, vm.toString(v)));
    return out;
}

void insertAt(Vm& vm, XmlObject* x, std::size_t at, const Value& v) {
    if (x->nodeKind != XmlKind::Element) return;
    std::vector<XmlObject*> added = insertable(vm, v, x);
    vm.charge(added.size() * sizeof(void*));
    for (XmlObject* n : added) n->parent = x;
    at = std::min(at, x->children.size());
    x->children.insert(x->children.begin() + std::ptrdiff_t(at), added.begin(), added.end());
}

std::ptrdiff_t childIndex(const XmlObject* x) {
    if (!x->parent || x->nodeKind == XmlKind::Attribute) return -1;
    auto& kids = x->parent->children;
    for (std::size_t i = 0; i < kids.size(); ++i)
        if (kids[i] == x) return std::ptrdiff_t(i);
    return -1;
}

// ---- selections ----

Value attribute(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "attribute");
    if (args[0].isNull()) throwNullObject(vm);
    if (args[0].isUndefined())
        vm.throwError(ErrorType::TypeError, "Error #1010: A term is undefined and has no properties.", 1010);
    XmlName n = xmlNameOfValue(vm, arg(args, 0), true);
    n.attribute = true;
    if (n.anyName) n.anyUri = true;
    else if (!(arg(args, 0).object() && arg(args, 0).object()->kind == ObjectKind::QName)) n.uri = String();
    std::vector<XmlObject*> out;
    for (XmlObject* x : nodes(vm, self)) xmlSelect(x, n, out);
    return listValue(vm, std::move(out));
}

Value attributes(Vm& vm, const Value& self, std::span<const Value>) {
    std::vector<XmlObject*> out;
    for (XmlObject* x : nodes(vm, self)) out.insert(out.end(), x->attributes.begin(), x->attributes.end());
    return listValue(vm, std::move(out));
}

Value child(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "child");
    Value which = arg(args, 0);
    std::vector<XmlObject*> out;
    std::uint32_t index;
    bool byIndex = which.isNumber() ? which.number() >= 0 && which.number() == std::floor(which.number())
                                    : which.isString() && Vm::arrayIndex(which.string(), index);
    if (byIndex) {
        index = which.isNumber() ? std::uint32_t(which.number()) : index;
        for (XmlObject* x : nodes(vm, self))
            if (index < x->children.size()) out.push_back(x->children[index]);
        return listValue(vm, std::move(out));
    }
    XmlName n = xmlNameOfValue(vm, which);
    for (XmlObject* x : nodes(vm, self)) xmlSelect(x, n, out);
    return listValue(vm, std::move(out), onlyNode(self.object()), n);
}

template <XmlKind kind>
Value childrenOfKind(Vm& vm, const Value& self, std::span<const Value> args) {
    std::vector<XmlObject*> out;
    XmlName n;
    bool named = kind != XmlKind::Text && kind != XmlKind::Comment && !args.empty() && !args[0].isUndefined();
    if (named) n = xmlNameOfValue(vm, args[0]);
    if (n.attribute) return listValue(vm, {});
    for (XmlObject* x : nodes(vm, self))
        for (XmlObject* c : x->children) {
            if (c->nodeKind != kind) continue;
            if (named && !n.anyName && !(c->local == n.local)) continue;
            if (named && kind == XmlKind::Element && !n.anyUri && !(c->uri == n.uri)) continue;
            out.push_back(c);
        }
    return listValue(vm, std::move(out));
}

Value children(Vm& vm, const Value& self, std::span<const Value>) {
    std::vector<XmlObject*> out;
    for (XmlObject* x : nodes(vm, self)) out.insert(out.end(), x->children.begin(), x->children.end());
    return listValue(vm, std::move(out), onlyNode(self.object()));
}

Value descendants(Vm& vm, const Value& self, std::span<const Value> args) {
    Multiname m = Multiname::publicName(args.empty() || args[0].isUndefined() ? String(u"*") : vm.toString(args[0]));
    if (args.size() && args[0].isObject()) m.runtimeKey = args[0];
    Value out;
    hooksOf(selfObject(vm, self))->descendants(vm, selfObject(vm, self), m, out);
    return out;
}

Value parent(Vm& vm, const Value& self, std::span<const Value>) {
    std::vector<XmlObject*> all = nodes(vm, self);
    if (all.empty()) return Value();
    XmlObject* p = all[0]->parent;
    for (XmlObject* x : all)
        if (x->parent != p) return Value();
    return p ? Value(static_cast<Object*>(p)) : Value();
}

Value copy(Vm& vm, const Value& self, std::span<const Value>) {
    Object* o = selfObject(vm, self);
    if (o->kind == ObjectKind::Xml) return Value(static_cast<Object*>(xmlDeepCopy(vm, static_cast<XmlObject*>(o), nullptr)));
    std::vector<XmlObject*> out;
    for (XmlObject* x : xmlNodesOf(o)) out.push_back(xmlDeepCopy(vm, x, nullptr));
    return listValue(vm, std::move(out));
}

Value length(Vm& vm, const Value& self, std::span<const Value>) { return Value(double(nodes(vm, self).size())); }

Value hasSimpleContent(Vm& vm, const Value& self, std::span<const Value>) {
    Object* o = selfObject(vm, self);
    if (o->kind == ObjectKind::Xml) return Value(xmlHasSimpleContent(static_cast<XmlObject*>(o)));
    return Value(xmlListHasSimpleContent(static_cast<XmlListObject*>(o)));
}

Value hasComplexContent(Vm& vm, const Value& self, std::span<const Value>) {
    Object* o = selfObject(vm, self);
    auto all = xmlNodesOf(o);
    if (o->kind == ObjectKind::XmlList && all.size() != 1) {
        for (XmlObject* x : all)
            if (x->nodeKind == XmlKind::Element) return Value(true);
        return Value(false);
    }
    if (all.empty() || all[0]->nodeKind != XmlKind::Element) return Value(false);
    return Value(!xmlHasSimpleContent(all[0]));
}

Value toStringMethod(Vm& vm, const Value& self, std::span<const Value>) {
    Object* o = self.object();
    if (o == xmlClasses(vm).xml->prototype || o == xmlClasses(vm).list->prototype) return Value(String());
    o = selfObject(vm, self);
    if (o->kind == ObjectKind::Xml) return Value(xmlToString(vm, static_cast<XmlObject*>(o)));
    return Value(xmlListToString(vm, static_cast<XmlListObject*>(o)));
}

Value toXmlString(Vm& vm, const Value& self, std::span<const Value>) {
    Object* o = selfObject(vm, self);
    if (o->kind == ObjectKind::Xml) return Value(xmlToXmlString(vm, static_cast<XmlObject*>(o)));
    return Value(xmlListToXmlString(vm, static_cast<XmlListObject*>(o)));
}

Value valueOf(Vm&, const Value& self, std::span<const Value>) { return self; }

Value contains(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "contains");
    for (XmlObject* x : nodes(vm, self))
        if (xmlEquals(vm, Value(static_cast<Object*>(x)), arg(args, 0))) return Value(true);
    return Value(false);
}

void normalizeNode(Vm& vm, XmlObject* x, std::size_t depth) {
    checkXmlDepth(vm, depth);
    auto& kids = x->children;
    for (std::size_t i = 0; i < kids.size();) {
        XmlObject* c = kids[i];
        if (c->nodeKind == XmlKind::Element) {
            normalizeNode(vm, c, depth + 1);
            ++i;
        } else if (c->nodeKind == XmlKind::Text) {
            while (i + 1 < kids.size() && kids[i + 1]->nodeKind == XmlKind::Text) {
                c->text = vm.concat(c->text, kids[i + 1]->text);
                kids[i + 1]->parent = nullptr;
                kids.erase(kids.begin() + std::ptrdiff_t(i + 1));
            }
            if (isBlankXmlText(c->text.view())) {
                c->parent = nullptr;
                kids.erase(kids.begin() + std::ptrdiff_t(i));
            } else {
                ++i;
            }
        } else {
            ++i;
        }
    }
}

Value normalize(Vm& vm, const Value& self, std::span<const Value>) {
    for (XmlObject* x : nodes(vm, self)) normalizeNode(vm, x, 0);
    return self;
}

Value hasOwnProperty(Vm& vm, const Value& self, std::span<const Value> args) {
    Multiname m = Multiname::publicName(vm.toString(arg(args, 0)));
    m.runtimeKey = Value(m.name);
    if (Object* p = self.object(); p && !isXmlValue(self)) return Value(p->dynamic.get(m.name.view()) != nullptr);
    Object* o = selfObject(vm, self);
    bool out = false;
    hooksOf(o)->has(vm, o, m, out);
    return Value(out);
}

Value propertyIsEnumerable(Vm& vm, const Value& self, std::span<const Value> args) {
    std::uint32_t i;
    String name = vm.toString(arg(args, 0));
    if (!Vm::arrayIndex(name, i)) return Value(false);
    return Value(i < nodes(vm, self).size());
}

// ---- one node ----

Value name(Vm& vm, const Value& self, std::span<const Value>) {
    XmlObject* x = single(vm, self, "name");
    if (x->nodeKind == XmlKind::Text || x->nodeKind == XmlKind::Comment) return Value::null();
    QNameObject* q = newQName(vm, x->uri, x->local);
    q->attribute = x->nodeKind == XmlKind::Attribute;
    return Value(static_cast<Object*>(q));
}

Value localName(Vm& vm, const Value& self, std::span<const Value>) {
    XmlObject* x = single(vm, self, "localName");
    if (x->nodeKind == XmlKind::Text || x->nodeKind == XmlKind::Comment) return Value::null();
    return Value(x->local);
}

Value nodeKind(Vm& vm, const Value& self, std::span<const Value>) {
    switch (single(vm, self, "nodeKind")->nodeKind) {
    case XmlKind::Element: return Value(String(u"element"));
    case XmlKind::Text: return Value(String(u"text"));
    case XmlKind::Comment: return Value(String(u"comment"));
    case XmlKind::Instruction: return Value(String(u"processing-instruction"));
    case XmlKind::Attribute: return Value(String(u"attribute"));
    }
    return Value();
}

Value namespaceMethod(Vm& vm, const Value& self, std::span<const Value> args) {
    XmlObject* x = single(vm, self, "namespace");
    if (args.empty()) {
        if (x->nodeKind != XmlKind::Element && x->nodeKind != XmlKind::Attribute) return Value::null();
        return namespaceObject(vm, x->uri, prefixInScope(x, x->uri));
    }
    String prefix = vm.toString(args[0]);
    for (const XmlObject* e = x; e; e = e->parent)
        for (const XmlNamespace& ns : e->declarations)
            if (ns.prefix == prefix) return namespaceObject(vm, ns.uri, ns.prefix);
    return Value();
}

Value childIndexMethod(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(childIndex(single(vm, self, "childIndex"))));
}

Value appendChild(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "appendChild");
    XmlObject* x = single(vm, self, "appendChild");
    // Text after an element becomes another element of that name, as an
    // assignment past the end of x.* makes one.
    Object* v = arg(args, 0).object();
    bool text = !isXmlValue(arg(args, 0)) || (v->kind == ObjectKind::Xml && static_cast<XmlObject*>(v)->nodeKind != XmlKind::Element);
    if (text && !x->children.empty() && x->children.back()->nodeKind == XmlKind::Element) {
        const XmlObject* last = x->children.back();
        XmlObject* e = newXmlNode(vm, XmlKind::Element);
        e->uri = last->uri;
        e->local = last->local;
        e->prefix = last->prefix;
        insertAt(vm, e, 0, arg(args, 0));
        insertAt(vm, x, x->children.size(), Value(static_cast<Object*>(e)));
        return self;
    }
    insertAt(vm, x, x->children.size(), arg(args, 0));
    return self;
}

Value prependChild(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "prependChild");
    insertAt(vm, single(vm, self, "prependChild"), 0, arg(args, 0));
    return self;
}

// insertChildAfter and insertChildBefore: null as the reference means the
// start (after) or the end (before).
template <bool after>
Value insertChild(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 2, after ? "insertChildAfter" : "insertChildBefore");
    XmlObject* x = single(vm, self, after ? "insertChildAfter" : "insertChildBefore");
    if (x->nodeKind != XmlKind::Element) return Value();
    Value ref = arg(args, 0);
    if (ref.isNullish()) {
        insertAt(vm, x, after ? 0 : x->children.size(), arg(args, 1));
        return self;
    }
    Object* r = ref.object();
    XmlObject* node = r ? onlyNode(r) : nullptr;
    if (!node || (r->kind != ObjectKind::Xml && r->kind != ObjectKind::XmlList)) return Value();
    for (std::size_t i = 0; i < x->children.size(); ++i) {
        if (x->children[i] != node) continue;
        insertAt(vm, x, after ? i + 1 : i, arg(args, 1));
        return self;
    }
    return Value();
}

Value setChildren(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "setChildren");
    XmlObject* x = single(vm, self, "setChildren");
    std::vector<XmlObject*> added = insertable(vm, arg(args, 0), x);
    xmlReplaceChildren(vm, x, std::move(added));
    return self;
}

Value replace(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 2, "replace");
    XmlObject* x = single(vm, self, "replace");
    if (x->nodeKind != XmlKind::Element) return self;
    Value which = arg(args, 0);
    // Movies before SWF 10 had other values converted as XML() converts them.
    Value value = vm.swfVersion() < 10 && !isXmlValue(args[1]) ? Value(static_cast<Object*>(toXml(vm, args[1])))
                                                               : args[1];
    std::uint32_t index;
    auto& kids = x->children;
    auto replaceAt = [&](std::size_t i) {
        std::vector<XmlObject*> added = insertable(vm, value, x);
        if (i < kids.size()) {
            kids[i]->parent = nullptr;
            kids.erase(kids.begin() + std::ptrdiff_t(i));
        }
        for (XmlObject* n : added) n->parent = x;
        kids.insert(kids.begin() + std::ptrdiff_t(std::min(i, kids.size())), added.begin(), added.end());
    };
    if ((which.isNumber() && which.number() >= 0 && which.number() == std::floor(which.number())) ||
        (which.isString() && Vm::arrayIndex(which.string(), index))) {
        index = which.isNumber() ? toUint32(which.number()) : index;
        if (index >= kids.size()) {
            insertAt(vm, x, kids.size(), value);
            return self;
        }
        replaceAt(index);
        return self;
    }
    std::ptrdiff_t first = xmlKeepFirstMatch(x, xmlNameOfValue(vm, which));
    if (first >= 0) replaceAt(std::size_t(first));
    return self;
}

Value setName(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "setName");
    XmlObject* x = single(vm, self, "setName");
    if (x->nodeKind == XmlKind::Text || x->nodeKind == XmlKind::Comment) return Value();
    Value v = arg(args, 0);
    auto* q = v.object() && v.object()->kind == ObjectKind::QName ? static_cast<QNameObject*>(v.object()) : nullptr;
    String local = q ? q->local : v.isUndefined() ? String() : vm.toString(v);
    requireXmlName(vm, local);
    x->local = local;
    if (x->nodeKind == XmlKind::Instruction) x->uri = String();
    else if (q && !q->anyUri) x->uri = q->uri;
    else x->uri = x->nodeKind == XmlKind::Element ? vm.defaultXmlNamespace() : String();
    x->prefix = String();
    // The player tells the new local name as the detail here.
    xmlNotify(vm, x, u"nameSet", v, Value(local));
    return Value();
}

Value setLocalName(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "setLocalName");
    XmlObject* x = single(vm, self, "setLocalName");
    if (x->nodeKind == XmlKind::Text || x->nodeKind == XmlKind::Comment) return Value();
    Value v = arg(args, 0);
    String local = v.object() && v.object()->kind == ObjectKind::QName ? static_cast<QNameObject*>(v.object())->local
                                                                         : vm.toString(v);
    requireXmlName(vm, local);
    String old = x->local;
    x->local = local;
    xmlNotify(vm, x, u"nameSet", v, Value(old));
    return Value();
}

// What Namespace(v) makes of a value; no prefix when it has none.
XmlNamespace namespaceOf(Vm& vm, const Value& v) {
    Value made = v;
    if (!v.object() || v.object()->kind != ObjectKind::Namespace) {
        Value args[] = {v};
        made = vm.constructValue(Value(static_cast<Object*>(vm.builtins().namespaceClass->object)), args);
    }
    const auto* ns = static_cast<const BoxObject*>(made.object());
    bool hasPrefix = !ns->prefix.isUndefined();
    return {hasPrefix ? vm.toString(ns->prefix) : String(), vm.toString(ns->value), hasPrefix};
}

// Declares a namespace on an element. One declared with the same prefix
// gives way, and the names written with that prefix lose it.
void addInScopeNamespace(XmlObject* x, const XmlNamespace& ns) {
    if (x->nodeKind != XmlKind::Element || !ns.hasPrefix) return;
    if (ns.prefix.empty() && x->uri.empty()) return;
    auto& d = x->declarations;
    for (auto it = d.begin(); it != d.end(); ++it) {
        if (!(it->prefix == ns.prefix)) continue;
        if (it->uri == ns.uri) return;
        d.erase(it);
        if (x->prefix == ns.prefix) x->prefix = String();
        for (XmlObject* a : x->attributes)
            if (a->prefix == ns.prefix) a->prefix = String();
        break;
    }
    d.push_back(ns);
}

Value setNamespace(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "setNamespace");
    XmlObject* x = single(vm, self, "setNamespace");
    if (x->nodeKind == XmlKind::Text || x->nodeKind == XmlKind::Comment || x->nodeKind == XmlKind::Instruction)
        return Value();
    Object* o = arg(args, 0).object();
    XmlNamespace ns = o && o->kind == ObjectKind::QName
                          ? XmlNamespace{String(), static_cast<QNameObject*>(o)->uri, false}
                          : namespaceOf(vm, arg(args, 0));
    x->uri = ns.uri;
    x->prefix = ns.prefix;
    if (x->nodeKind == XmlKind::Attribute) {
        if (x->parent) addInScopeNamespace(x->parent, ns);
    } else {
        addInScopeNamespace(x, ns);
    }
    return Value();
}

Value inScopeNamespaces(Vm& vm, const Value& self, std::span<const Value>) {
    XmlObject* x = single(vm, self, "inScopeNamespaces");
    std::vector<Value> out;
    std::vector<String> prefixes;
    for (const XmlObject* e = x; e; e = e->parent)
        for (const XmlNamespace& ns : e->declarations) {
            bool seen = false;
            for (const String& p : prefixes) seen = seen || p == ns.prefix;
            if (seen) continue;
            prefixes.push_back(ns.prefix);
            out.push_back(namespaceObject(vm, ns.uri, ns.prefix));
        }
    if (out.empty()) out.push_back(namespaceObject(vm, String(), String()));
    return Value(static_cast<Object*>(vm.newArray(std::move(out))));
}

Value namespaceDeclarations(Vm& vm, const Value& self, std::span<const Value>) {
    XmlObject* x = single(vm, self, "namespaceDeclarations");
    std::vector<Value> out;
    for (const XmlNamespace& ns : x->declarations) out.push_back(namespaceObject(vm, ns.uri, ns.prefix));
    return Value(static_cast<Object*>(vm.newArray(std::move(out))));
}

Value addNamespace(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "addNamespace");
    addInScopeNamespace(single(vm, self, "addNamespace"), namespaceOf(vm, arg(args, 0)));
    return self;
}

Value removeNamespace(Vm& vm, const Value& self, std::span<const Value> args) {
    requireArguments(vm, self, args, 1, "removeNamespace");
    XmlObject* x = single(vm, self, "removeNamespace");
    Object* o = arg(args, 0).object();
    String uri = o && o->kind == ObjectKind::Namespace ? vm.toString(static_cast<BoxObject*>(o)->value)
                                                       : vm.toString(arg(args, 0));
    if (x->uri == uri) return self;
    auto& d = x->declarations;
    d.erase(std::remove_if(d.begin(), d.end(), [&](const XmlNamespace& ns) { return ns.uri == uri; }), d.end());
    return self;
}

Value setNotification(Vm& vm, const Value& self, std::span<const Value> args) {
    XmlObject* x = single(vm, self, "setNotification");
    Value f = arg(args, 0);
    if (!f.isNull() && !(f.object() && f.object()->kind == ObjectKind::Function))
        vm.throwError(ErrorType::TypeError,
                      "Error #1034: Type Coercion failed: cannot convert " + vm.classOf(f)->qualifiedName().toUtf8() +
                          " to Function.",
                      1034);
    x->notification = f;
    return Value();
}

Value getNotification(Vm& vm, const Value& self, std::span<const Value>) {
    return single(vm, self, "notification")->notification;
}

Value toJson(Vm&, const Value& self, std::span<const Value>) {
    Object* o = self.object();
    return Value(String(o && o->kind == ObjectKind::XmlList ? u"XMLList" : u"XML"));
}

}  // namespace

std::vector<XmlObject*> xmlNodesOf(Object* o) {
    if (o->kind == ObjectKind::Xml) return {static_cast<XmlObject*>(o)};
    if (o->kind == ObjectKind::XmlList) return static_cast<XmlListObject*>(o)->items;
    return {};
}

void xmlSelect(XmlObject* x, const XmlName& n, std::vector<XmlObject*>& out) {
    for (XmlObject* c : n.attribute ? x->attributes : x->children)
        if (n.matches(c)) out.push_back(c);
}

std::ptrdiff_t xmlKeepFirstMatch(XmlObject* x, const XmlName& n) {
    auto& kids = x->children;
    std::ptrdiff_t first = -1;
    for (std::size_t i = kids.size(); i-- > 0;) {
        if (!n.matches(kids[i])) continue;
        if (first >= 0) {
            kids[std::size_t(first)]->parent = nullptr;
            kids.erase(kids.begin() + first);
        }
        first = std::ptrdiff_t(i);
    }
    return first;
}

void xmlReplaceChildren(Vm& vm, XmlObject* x, std::vector<XmlObject*> children) {
    vm.charge(children.size() * sizeof(void*));
    for (XmlObject* old : x->children) old->parent = nullptr;
    for (XmlObject* c : children) c->parent = x;
    x->children = std::move(children);
}

void xmlDetach(XmlObject* x) {
    XmlObject* p = x->parent;
    if (!p) return;
    auto& from = x->nodeKind == XmlKind::Attribute ? p->attributes : p->children;
    from.erase(std::remove(from.begin(), from.end(), x), from.end());
    x->parent = nullptr;
}

void xmlNotify(Vm& vm, XmlObject* target, const char16_t* command, const Value& value, const Value& detail) {
    for (XmlObject* x = target; x; x = x->parent) {
        if (!x->notification.object()) continue;
        Value args[] = {Value(static_cast<Object*>(x)), Value(String(command)), Value(static_cast<Object*>(target)),
                        value, detail};
        vm.call(x->notification, Value(), args);
    }
}

void installXmlMethods(Vm& vm, Class* xml, Class* list) {
    struct Entry {
        const char16_t* name;
        NativeFunction fn;
        int length;
    };
    const Entry entries[] = {
        {u"attribute", attribute, 1},
        {u"attributes", attributes, 0},
        {u"child", child, 1},
        {u"children", children, 0},
        {u"elements", childrenOfKind<XmlKind::Element>, 0},
        {u"text", childrenOfKind<XmlKind::Text>, 0},
        {u"comments", childrenOfKind<XmlKind::Comment>, 0},
        {u"processingInstructions", childrenOfKind<XmlKind::Instruction>, 0},
        {u"descendants", descendants, 0},
        {u"parent", parent, 0},
        {u"copy", copy, 0},
        {u"length", length, 0},
        {u"hasSimpleContent", hasSimpleContent, 0},
        {u"hasComplexContent", hasComplexContent, 0},
        {u"toString", toStringMethod, 0},
        {u"toXMLString", toXmlString, 0},
        {u"valueOf", valueOf, 0},
        {u"contains", contains, 1},
        {u"normalize", normalize, 0},
        {u"hasOwnProperty", hasOwnProperty, 1},
        {u"propertyIsEnumerable", propertyIsEnumerable, 1},
        {u"toJSON", toJson, 1},
        {u"name", name, 0},
        {u"localName", localName, 0},
        {u"nodeKind", nodeKind, 0},
        {u"namespace", namespaceMethod, 0},
        {u"childIndex", childIndexMethod, 0},
        {u"appendChild", appendChild, 1},
        {u"prependChild", prependChild, 1},
        {u"insertChildAfter", insertChild<true>, 2},
        {u"insertChildBefore", insertChild<false>, 2},
        {u"setChildren", setChildren, 1},
        {u"replace", replace, 2},
        {u"setName", setName, 1},
        {u"setLocalName", setLocalName, 1},
        {u"setNamespace", setNamespace, 1},
        {u"inScopeNamespaces", inScopeNamespaces, 0},
        {u"namespaceDeclarations", namespaceDeclarations, 0},
        {u"addNamespace", addNamespace, 1},
        {u"removeNamespace", removeNamespace, 1},
        {u"setNotification", setNotification, 1},
        {u"notification", getNotification, 0},
    };
    for (const Entry& e : entries) {
        vm.defineMethod(xml, e.name, e.fn, false, e.length);
        // The single-node methods exist on XMLList too and insist on one item.
        vm.defineMethod(list, e.name, e.fn, false, e.length);
    }
}

}  // namespace kinolux::avm2
