// The XML, XMLList and QName classes: construction, the settings, and
// property access by E4X names (x.child, x.@attr, x[0], x..name).
#include "flash/avm2/builtins/xml.h"
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

XmlObject* selfNode(Object* o) { return o->kind == ObjectKind::Xml ? static_cast<XmlObject*>(o) : nullptr; }

bool indexName(const Multiname& name, std::uint32_t& i) {
    if (name.attribute || !name.seesPublic()) return false;
    if (name.runtimeKey.object()) return false;
    return Vm::arrayIndex(name.name, i);
}

// The text an assignment puts into an attribute or an element.
String assignedText(Vm& vm, const Value& v) {
    Object* o = v.object();
    if (o && o->kind == ObjectKind::XmlList) {
        std::u16string out;
        auto& items = static_cast<XmlListObject*>(o)->items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (i) out.push_back(u' ');
            out += xmlToString(vm, items[i]).view();
        }
        return String(out);
    }
    if (o && o->kind == ObjectKind::Xml) return xmlToString(vm, static_cast<XmlObject*>(o));
    return vm.toString(v);
}

void setAttribute(Vm& vm, XmlObject* x, const XmlName& n, const Value& value) {
    String text = assignedText(vm, value);
    auto& attrs = x->attributes;
    bool done = false;
    for (std::size_t i = 0; i < attrs.size();) {
        if (n.matches(attrs[i])) {
            if (!done) {
                String old = attrs[i]->text;
                attrs[i]->text = text;
                done = true;
                xmlNotify(vm, x, u"attributeChanged", Value(attrs[i]->local), Value(old));
            } else {
                attrs[i]->parent = nullptr;
                attrs.erase(attrs.begin() + std::ptrdiff_t(i));
                continue;
            }
        }
        ++i;
    }
    if (done || n.anyName) return;
    XmlObject* a = newXmlNode(vm, XmlKind::Attribute);
    a->uri = n.uri;
    a->local = n.local;
    a->text = text;
    a->parent = x;
    attrs.push_back(a);
    xmlNotify(vm, x, u"attributeAdded", Value(a->local), Value(text));
}

// The nodes a value stands for when it goes into a tree: copies of XML,
// or one text node.
std::vector<XmlObject*> nodesToInsert(Vm& vm, const Value& v) {
    Object* o = v.object();
    std::vector<XmlObject*> nodes;
    if (o && (o->kind == ObjectKind::Xml || o->kind == ObjectKind::XmlList)) {
        for (XmlObject* x : xmlNodesOf(o))
            nodes.push_back(x->nodeKind == XmlKind::Attribute ? xmlTextNode(vm, x->text) : xmlDeepCopy(vm, x, nullptr));
        return nodes;
    }
    nodes.push_back(xmlTextNode(vm, vm.toString(v)));
    return nodes;
}

void setElement(Vm& vm, XmlObject* x, const XmlName& n, const Value& value) {
    if (x->nodeKind != XmlKind::Element) return;
    auto& kids = x->children;
    std::ptrdiff_t found = xmlKeepFirstMatch(x, n);
    bool isXml = isXmlValue(value);
    if (found < 0) {
        if (n.anyName) {
            xmlReplaceChildren(vm, x, nodesToInsert(vm, value));
            return;
        }
        XmlObject* e = newXmlNode(vm, XmlKind::Element);
        e->uri = n.uri;
        e->local = n.local;
        e->parent = x;
        kids.push_back(e);
        found = std::ptrdiff_t(kids.size() - 1);
    }
    XmlObject* target = kids[std::size_t(found)];
    if (isXml) {
        Object* o = value.object();
        bool text = o->kind == ObjectKind::Xml && (static_cast<XmlObject*>(o)->nodeKind == XmlKind::Text ||
                                                   static_cast<XmlObject*>(o)->nodeKind == XmlKind::Attribute);
        if (!text) {
            std::vector<XmlObject*> nodes = nodesToInsert(vm, value);
            target->parent = nullptr;
            kids.erase(kids.begin() + found);
            for (XmlObject* node : nodes) node->parent = x;
            kids.insert(kids.begin() + found, nodes.begin(), nodes.end());
            return;
        }
    }
    String text = assignedText(vm, value);
    std::vector<XmlObject*> content;
    if (!text.empty()) content.push_back(xmlTextNode(vm, text));
    xmlReplaceChildren(vm, target, std::move(content));
}

// The element an assignment makes for a name it found no element of.
XmlObject* elementNamed(Vm& vm, const XmlName& name) {
    XmlObject* e = newXmlNode(vm, XmlKind::Element);
    e->uri = name.anyUri ? vm.defaultXmlNamespace() : name.uri;
    e->local = name.local;
    return e;
}

// Puts nodes where `item` was, in its parent and in the list.
void replaceListItem(XmlListObject* list, std::size_t i, const std::vector<XmlObject*>& nodes) {
    XmlObject* item = list->items[i];
    if (XmlObject* parent = item->parent) {
        auto& kids = parent->children;
        auto at = std::find(kids.begin(), kids.end(), item);
        if (at != kids.end()) {
            item->parent = nullptr;
            at = kids.erase(at);
            for (XmlObject* n : nodes) n->parent = parent;
            kids.insert(at, nodes.begin(), nodes.end());
        }
    }
    list->items.erase(list->items.begin() + std::ptrdiff_t(i));
    list->items.insert(list->items.begin() + std::ptrdiff_t(i), nodes.begin(), nodes.end());
}

// list[i] = value for an item the list has: text (and text or attribute
// nodes) becomes an element's content; other XML takes the item's place.
void putListItem(Vm& vm, XmlListObject* list, std::size_t i, const Value& value) {
    XmlObject* item = list->items[i];
    Object* v = value.object();
    const XmlObject* one = nullptr;
    if (v && v->kind == ObjectKind::Xml) one = static_cast<XmlObject*>(v);
    if (v && v->kind == ObjectKind::XmlList && static_cast<XmlListObject*>(v)->items.size() == 1)
        one = static_cast<XmlListObject*>(v)->items[0];
    bool asText = !isXmlValue(value) || (one && (one->nodeKind == XmlKind::Text || one->nodeKind == XmlKind::Attribute));
    if (item->nodeKind == XmlKind::Attribute) {
        item->text = assignedText(vm, value);
        return;
    }
    if (asText && item->nodeKind == XmlKind::Element) {
        xmlReplaceChildren(vm, item, {xmlTextNode(vm, assignedText(vm, value))});
        return;
    }
    std::vector<XmlObject*> nodes =
        asText ? std::vector<XmlObject*>{xmlTextNode(vm, assignedText(vm, value))} : nodesToInsert(vm, value);
    vm.charge(nodes.size() * sizeof(void*));
    replaceListItem(list, i, nodes);
}

// list[list.length()] = value: the new node also goes into the tree the
// list was selected from, after the list's last node there (x.item[n] = ...
// adds an <item>).
void appendToList(Vm& vm, XmlListObject* list, const Value& value) {
    XmlObject* target = list->target;
    const std::optional<XmlName>& name = list->targetName;
    std::vector<XmlObject*> nodes;
    if (target && name && name->attribute) {
        setAttribute(vm, target, *name, value);
        for (XmlObject* a : target->attributes)
            if (name->matches(a)) nodes.push_back(a);
        if (!nodes.empty()) list->items.push_back(nodes.back());
        return;
    }
    Object* v = value.object();
    bool intoTree = target && target->nodeKind == XmlKind::Element;
    if (!intoTree && v && v->kind == ObjectKind::Xml) {
        // A list of no tree holds the node itself.
        nodes.push_back(static_cast<XmlObject*>(v));
    } else if (isXmlValue(value)) {
        nodes = nodesToInsert(vm, value);
    } else if (target && name && !name->anyName) {
        XmlObject* e = elementNamed(vm, *name);
        xmlReplaceChildren(vm, e, {xmlTextNode(vm, vm.toString(value))});
        nodes.push_back(e);
    } else {
        nodes = nodesToInsert(vm, value);
    }
    vm.charge(nodes.size() * sizeof(void*));
    if (intoTree) {
        auto& kids = target->children;
        auto at = kids.end();
        if (!list->items.empty()) {
            auto last = std::find(kids.begin(), kids.end(), list->items.back());
            if (last != kids.end()) at = last + 1;
        }
        for (XmlObject* n : nodes) n->parent = target;
        kids.insert(at, nodes.begin(), nodes.end());
    }
    list->items.insert(list->items.end(), nodes.begin(), nodes.end());
}

// x.a.b = v where x has no <a>: the assignment makes one first.
XmlObject* resolveEmptyList(Vm& vm, XmlListObject* list) {
    XmlObject* target = list->target;
    const std::optional<XmlName>& name = list->targetName;
    if (!target || target->nodeKind != XmlKind::Element || !name || name->attribute || name->anyName) return nullptr;
    XmlObject* e = elementNamed(vm, *name);
    e->parent = target;
    vm.charge(2 * sizeof(void*));
    target->children.push_back(e);
    list->items.push_back(e);
    return e;
}

void collectDescendants(Vm& vm, XmlObject* x, const XmlName& n, std::vector<XmlObject*>& out, std::size_t depth) {
    checkXmlDepth(vm, depth);
    if (n.attribute)
        for (XmlObject* a : x->attributes)
            if (n.matches(a)) out.push_back(a);
    for (XmlObject* c : x->children) {
        if (!n.attribute && n.matches(c)) out.push_back(c);
        collectDescendants(vm, c, n, out, depth + 1);
    }
}

std::size_t nodeCount(Object* o) { return xmlNodesOf(o).size(); }

// The enumerable properties of an XML value's prototypes, nearest first.
std::vector<const DynamicProperty*> inherited(Object* o) {
    std::vector<const DynamicProperty*> out;
    for (Object* p = o->proto; p; p = p->proto)
        for (const DynamicProperty& d : p->dynamic.entries())
            if (d.enumerable) out.push_back(&d);
    return out;
}

class XmlHooks : public PropertyHooks {
public:
    bool get(Vm& vm, Object* o, const Multiname& name, Value& out) const override {
        std::uint32_t i;
        if (indexName(name, i)) {
            if (XmlObject* x = selfNode(o)) out = i == 0 ? Value(static_cast<Object*>(x)) : Value();
            else {
                auto& items = static_cast<XmlListObject*>(o)->items;
                out = i < items.size() ? Value(static_cast<Object*>(items[i])) : Value();
            }
            return true;
        }
        XmlName n = xmlNameOf(vm, name);
        std::vector<XmlObject*> found;
        for (XmlObject* x : xmlNodesOf(o)) xmlSelect(x, n, found);
        XmlObject* target = selfNode(o);
        if (!target && static_cast<XmlListObject*>(o)->items.size() == 1) target = static_cast<XmlListObject*>(o)->items[0];
        out = Value(static_cast<Object*>(newXmlList(vm, std::move(found), target, n)));
        return true;
    }

    bool set(Vm& vm, Object* o, const Multiname& name, const Value& value) const override {
        std::uint32_t i;
        if (XmlObject* x = selfNode(o)) {
            if (indexName(name, i))
                vm.throwError(ErrorType::TypeError, "Error #1087: Assignment to indexed XML is not allowed.", 1087);
            XmlName n = xmlNameOf(vm, name);
            if (n.attribute) setAttribute(vm, x, n, value);
            else setElement(vm, x, n, value);
            return true;
        }
        auto* list = static_cast<XmlListObject*>(o);
        if (indexName(name, i)) {
            if (i < list->items.size()) putListItem(vm, list, i, value);
            else appendToList(vm, list, value);
            return true;
        }
        if (list->items.size() == 1) return set(vm, list->items[0], name, value);
        if (list->items.empty()) {
            if (XmlObject* made = resolveEmptyList(vm, list)) return set(vm, made, name, value);
            if (list->target) return set(vm, list->target, name, value);
        }
        if (list->items.empty()) return true;
        vm.throwError(ErrorType::TypeError, "Error #1089: Assignment to lists with more than one item is not supported.",
                      1089);
    }

    bool has(Vm& vm, Object* o, const Multiname& name, bool& out) const override {
        std::uint32_t i;
        if (indexName(name, i)) {
            out = selfNode(o) ? i == 0 : i < static_cast<XmlListObject*>(o)->items.size();
            return true;
        }
        XmlName n = xmlNameOf(vm, name);
        std::vector<XmlObject*> found;
        for (XmlObject* x : xmlNodesOf(o)) xmlSelect(x, n, found);
        out = !found.empty();
        return true;
    }

    bool erase(Vm& vm, Object* o, const Multiname& name, bool& out) const override {
        out = true;
        std::uint32_t i;
        if (indexName(name, i)) {
            if (selfNode(o)) return true;
            auto* list = static_cast<XmlListObject*>(o);
            if (i < list->items.size()) {
                xmlDetach(list->items[i]);
                list->items.erase(list->items.begin() + i);
            }
            return true;
        }
        XmlName n = xmlNameOf(vm, name);
        for (XmlObject* x : xmlNodesOf(o)) {
            auto& from = n.attribute ? x->attributes : x->children;
            for (std::size_t k = 0; k < from.size();) {
                if (n.matches(from[k])) {
                    from[k]->parent = nullptr;
                    from.erase(from.begin() + std::ptrdiff_t(k));
                } else {
                    ++k;
                }
            }
        }
        return true;
    }

    bool call(Vm& vm, Object* o, const Multiname& name, std::span<const Value> args, Value& out) const override {
        if (name.seesPublic()) {
            for (Object* p = o->proto; p; p = p->proto) {
                if (const Value* f = p->dynamic.get(name.name.view())) {
                    out = vm.call(*f, Value(o), args);
                    return true;
                }
            }
        }
        std::vector<XmlObject*> nodes = xmlNodesOf(o);
        if (o->kind == ObjectKind::XmlList && nodes.size() == 1) {
            out = vm.callProperty(Value(static_cast<Object*>(nodes[0])), name, args);
            return true;
        }
        bool simple = true;
        for (XmlObject* x : nodes) simple = simple && xmlHasSimpleContent(x);
        if (simple && !nodes.empty()) {
            Value text(o->kind == ObjectKind::Xml ? xmlToString(vm, nodes[0])
                                                  : xmlListToString(vm, static_cast<XmlListObject*>(o)));
            out = vm.callProperty(text, name, args);
            return true;
        }
        vm.throwError(ErrorType::TypeError, "Error #1006: " + name.name.toUtf8() + " is not a function.", 1006);
    }

    // for-in: the nodes' indices, then what scripts added to the prototypes.
    std::uint32_t nextIndex(Vm&, Object* o, std::uint32_t index) const override {
        return index < nodeCount(o) + inherited(o).size() ? index + 1 : 0;
    }
    Value nextName(Vm&, Object* o, std::uint32_t index) const override {
        std::size_t n = nodeCount(o);
        if (index >= 1 && index <= n) return Value(numberToString(double(index - 1)));
        auto extra = inherited(o);
        return index > n && index - n <= extra.size() ? Value(extra[index - n - 1]->name) : Value::null();
    }
    Value nextValue(Vm&, Object* o, std::uint32_t index) const override {
        std::size_t n = nodeCount(o);
        if (index >= 1 && index <= n) return Value(static_cast<Object*>(xmlNodesOf(o)[index - 1]));
        auto extra = inherited(o);
        return index > n && index - n <= extra.size() ? extra[index - n - 1]->value : Value();
    }

    bool descendants(Vm& vm, Object* o, const Multiname& name, Value& out) const override {
        XmlName n = xmlNameOf(vm, name);
        std::vector<XmlObject*> found;
        for (XmlObject* x : xmlNodesOf(o)) collectDescendants(vm, x, n, found, 0);
        out = Value(static_cast<Object*>(newXmlList(vm, std::move(found))));
        return true;
    }
};

const XmlHooks kXmlHooks;

// ---- constructors ----

Object* sameObject(Vm&, Object* o) { return o; }
Object* xmlCopy(Vm& vm, Object* o) { return xmlDeepCopy(vm, static_cast<XmlObject*>(o), nullptr); }
Object* listCopy(Vm& vm, Object* o) { return newXmlList(vm, static_cast<XmlListObject*>(o)->items); }

// XML(v) and XMLList(v) convert their argument, but one of their own kind
// passes as it is through a call and as `own` makes it through `new`.
template <ObjectKind kind, auto convert, Object* (*own)(Vm&, Object*)>
Value fromArgument(Vm& vm, const Value&, std::span<const Value> args) {
    Value v = arg(args, 0);
    if (Object* o = v.object(); o && o->kind == kind) return Value(own(vm, o));
    return Value(static_cast<Object*>(convert(vm, v)));
}

// ---- settings ----

Value getIgnoreComments(Vm& vm, const Value&, std::span<const Value>) { return Value(xmlSettings(vm).ignoreComments); }
Value setIgnoreComments(Vm& vm, const Value&, std::span<const Value> args) {
    xmlSettings(vm).ignoreComments = toBoolean(arg(args, 0));
    return Value();
}
Value getIgnorePis(Vm& vm, const Value&, std::span<const Value>) {
    return Value(xmlSettings(vm).ignoreProcessingInstructions);
}
Value setIgnorePis(Vm& vm, const Value&, std::span<const Value> args) {
    xmlSettings(vm).ignoreProcessingInstructions = toBoolean(arg(args, 0));
    return Value();
}
Value getIgnoreWhitespace(Vm& vm, const Value&, std::span<const Value>) {
    return Value(xmlSettings(vm).ignoreWhitespace);
}
Value setIgnoreWhitespace(Vm& vm, const Value&, std::span<const Value> args) {
    xmlSettings(vm).ignoreWhitespace = toBoolean(arg(args, 0));
    return Value();
}
Value getPrettyPrinting(Vm& vm, const Value&, std::span<const Value>) { return Value(xmlSettings(vm).prettyPrinting); }
Value setPrettyPrinting(Vm& vm, const Value&, std::span<const Value> args) {
    xmlSettings(vm).prettyPrinting = toBoolean(arg(args, 0));
    return Value();
}
Value getPrettyIndent(Vm& vm, const Value&, std::span<const Value>) { return Value(xmlSettings(vm).prettyIndent); }
Value setPrettyIndent(Vm& vm, const Value&, std::span<const Value> args) {
    xmlSettings(vm).prettyIndent = std::clamp(toInt32(vm.toNumber(arg(args, 0))), 0, 10);
    return Value();
}

Object* settingsObject(Vm& vm, const XmlSettings& s) {
    Object* o = vm.newObject();
    o->dynamic.set(String(u"ignoreComments"), Value(s.ignoreComments));
    o->dynamic.set(String(u"ignoreProcessingInstructions"), Value(s.ignoreProcessingInstructions));
    o->dynamic.set(String(u"ignoreWhitespace"), Value(s.ignoreWhitespace));
    o->dynamic.set(String(u"prettyPrinting"), Value(s.prettyPrinting));
    o->dynamic.set(String(u"prettyIndent"), Value(s.prettyIndent));
    return o;
}
Value settings(Vm& vm, const Value&, std::span<const Value>) { return Value(settingsObject(vm, xmlSettings(vm))); }
Value defaultSettings(Vm& vm, const Value&, std::span<const Value>) { return Value(settingsObject(vm, XmlSettings{})); }
Value setSettings(Vm& vm, const Value&, std::span<const Value> args) {
    XmlSettings& s = xmlSettings(vm);
    Value from = arg(args, 0);
    if (from.isNullish()) s = XmlSettings{};
    if (!from.object()) return Value();
    auto flag = [&](const char16_t* name, bool& into) {
        Value v = vm.getPublic(from, name);
        if (v.isBoolean()) into = v.boolean();
    };
    flag(u"ignoreComments", s.ignoreComments);
    flag(u"ignoreProcessingInstructions", s.ignoreProcessingInstructions);
    flag(u"ignoreWhitespace", s.ignoreWhitespace);
    flag(u"prettyPrinting", s.prettyPrinting);
    Value indent = vm.getPublic(from, u"prettyIndent");
    if (indent.isNumber()) s.prettyIndent = std::clamp(toInt32(indent.number()), 0, 10);
    return Value();
}

// ---- QName ----

QNameObject* qnameOf(Vm& vm, const Value& self) {
    Object* o = self.object();
    if (!o || o->kind != ObjectKind::QName)
        vm.throwError(ErrorType::TypeError, "Error #1034: Type Coercion failed: the object is not a QName.", 1034);
    return static_cast<QNameObject*>(o);
}

Value qnameConstruct(Vm& vm, const Value&, std::span<const Value> args) {
    Value nsArg = args.size() >= 2 ? args[0] : Value();
    Value nameArg = args.size() >= 2 ? args[1] : arg(args, 0);
    String uri, local;
    bool anyUri = false;
    if (Object* o = nameArg.object(); o && o->kind == ObjectKind::QName) {
        auto* q = static_cast<QNameObject*>(o);
        if (args.size() < 2) {
            QNameObject* copy = newQName(vm, q->uri, q->local);
            copy->anyUri = q->anyUri;
            return Value(static_cast<Object*>(copy));
        }
        local = q->local;
    } else {
        local = nameArg.isUndefined() ? String() : vm.toString(nameArg);
    }
    if (args.size() >= 2) {
        if (nsArg.isNull()) anyUri = true;
        else if (Object* o = nsArg.object(); o && o->kind == ObjectKind::Namespace)
            uri = vm.toString(static_cast<BoxObject*>(o)->value);
        else if (Object* o = nsArg.object(); o && o->kind == ObjectKind::QName)
            uri = static_cast<QNameObject*>(o)->uri;
        else if (!nsArg.isUndefined()) uri = vm.toString(nsArg);
    } else if (local == u"*") {
        anyUri = true;
    } else {
        uri = vm.defaultXmlNamespace();
    }
    QNameObject* q = newQName(vm, uri, local);
    q->anyUri = anyUri;
    return Value(static_cast<Object*>(q));
}

Value qnameLocalName(Vm& vm, const Value& self, std::span<const Value>) { return Value(qnameOf(vm, self)->local); }
Value qnameUri(Vm& vm, const Value& self, std::span<const Value>) {
    QNameObject* q = qnameOf(vm, self);
    return q->anyUri ? Value::null() : Value(q->uri);
}
Value qnameToString(Vm& vm, const Value& self, std::span<const Value>) {
    Object* o = self.object();
    if (o && o == xmlClasses(vm).qname->prototype) return Value(String());
    QNameObject* q = qnameOf(vm, self);
    if (q->anyUri) return Value(String::concat(String(u"*::"), q->local));
    if (q->uri.empty()) return Value(q->local);
    return Value(String::concat(String::concat(q->uri, String(u"::")), q->local));
}

// Whether text is an XML name without a prefix.
Value isXmlName(Vm& vm, const Value&, std::span<const Value> args) {
    if (args.empty() || args[0].isNullish()) return Value(false);
    return Value(isXmlNameText(vm.toString(args[0]).view()));
}

}  // namespace

XmlObject* toXml(Vm& vm, const Value& v) {
    Object* o = v.object();
    if (o && o->kind == ObjectKind::Xml) return static_cast<XmlObject*>(o);
    if (o && o->kind == ObjectKind::XmlList) {
        auto& items = static_cast<XmlListObject*>(o)->items;
        if (items.size() == 1) return items[0];
        vm.throwError(ErrorType::TypeError,
                      "Error #1088: The markup in the document following the root element must be well-formed.", 1088);
    }
    String text = v.isNullish() ? String() : vm.toString(v);
    XmlObject* root = parseXmlFragment(vm, text.view());
    // Around a document's element the player drops everything else, and
    // blank text anywhere, whatever the settings say.
    std::vector<XmlObject*> nodes;
    bool hasElement = false;
    for (XmlObject* c : root->children) {
        if (c->nodeKind == XmlKind::Text && isBlankXmlText(c->text.view())) continue;
        hasElement = hasElement || c->nodeKind == XmlKind::Element;
        nodes.push_back(c);
    }
    if (hasElement) std::erase_if(nodes, [](const XmlObject* c) { return c->nodeKind != XmlKind::Element; });
    if (nodes.empty()) return newXmlNode(vm, XmlKind::Text);
    if (nodes.size() > 1)
        vm.throwError(ErrorType::TypeError,
                      "Error #1088: The markup in the document following the root element must be well-formed.", 1088);
    nodes[0]->parent = nullptr;
    return nodes[0];
}

XmlListObject* toXmlList(Vm& vm, const Value& v) {
    Object* o = v.object();
    if (o && o->kind == ObjectKind::XmlList) return static_cast<XmlListObject*>(o);
    if (o && o->kind == ObjectKind::Xml) return newXmlList(vm, {static_cast<XmlObject*>(o)});
    String text = v.isNullish() ? String() : vm.toString(v);
    XmlObject* root = parseXmlFragment(vm, text.view());
    for (XmlObject* c : root->children) c->parent = nullptr;
    return newXmlList(vm, root->children);
}

void installXmlClasses(Vm& vm) {
    Class* object = vm.findClass(u"Object");
    XmlClasses& classes = xmlClasses(vm);
    classes.xml = vm.defineClass(u"", u"XML", object, nullptr, ObjectKind::Xml);
    classes.xml->hooks = &kXmlHooks;
    classes.xml->callAsFunction = fromArgument<ObjectKind::Xml, toXml, sameObject>;
    classes.xml->construct = fromArgument<ObjectKind::Xml, toXml, xmlCopy>;
    classes.list = vm.defineClass(u"", u"XMLList", object, nullptr, ObjectKind::XmlList);
    classes.list->hooks = &kXmlHooks;
    classes.list->callAsFunction = fromArgument<ObjectKind::XmlList, toXmlList, sameObject>;
    classes.list->construct = fromArgument<ObjectKind::XmlList, toXmlList, listCopy>;
    vm.defineGetter(classes.xml, u"ignoreComments", getIgnoreComments, setIgnoreComments, true);
    vm.defineGetter(classes.xml, u"ignoreProcessingInstructions", getIgnorePis, setIgnorePis, true);
    vm.defineGetter(classes.xml, u"ignoreWhitespace", getIgnoreWhitespace, setIgnoreWhitespace, true);
    vm.defineGetter(classes.xml, u"prettyPrinting", getPrettyPrinting, setPrettyPrinting, true);
    vm.defineGetter(classes.xml, u"prettyIndent", getPrettyIndent, setPrettyIndent, true);
    vm.defineMethod(classes.xml, u"settings", settings, true);
    vm.defineMethod(classes.xml, u"setSettings", setSettings, true, 1);
    vm.defineMethod(classes.xml, u"defaultSettings", defaultSettings, true);
    vm.defineConstant(classes.xml, u"length", Value(1));
    vm.defineConstant(classes.list, u"length", Value(1));
    installXmlMethods(vm, classes.xml, classes.list);
    vm.defineFunction(u"", u"isXMLName", isXmlName, 1);

    classes.qname = vm.defineClass(u"", u"QName", object, nullptr, ObjectKind::QName);
    classes.qname->construct = qnameConstruct;
    classes.qname->callAsFunction = [](Vm& vm, const Value& self, std::span<const Value> args) {
        if (args.size() == 1 && args[0].object() && args[0].object()->kind == ObjectKind::QName) return args[0];
        return qnameConstruct(vm, self, args);
    };
    vm.defineGetter(classes.qname, u"localName", qnameLocalName);
    vm.defineGetter(classes.qname, u"uri", qnameUri);
    vm.defineMethod(classes.qname, u"toString", qnameToString);
    vm.defineMethod(classes.qname, u"valueOf", [](Vm&, const Value& self, std::span<const Value>) { return self; });
    vm.defineConstant(classes.qname, u"length", Value(2));
    installNameFields(vm, classes.qname, vm.findClass(u"Namespace"));
}

}  // namespace kinolux::avm2
