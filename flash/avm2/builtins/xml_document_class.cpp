// flash.xml's XMLDocument, XMLNode and XMLNodeType: the DOM of ActionScript
// 1 and 2 kept for ActionScript 3. The document parses its text with the
// E4X parser and writes itself in the older form ("<a />").
#include "flash/avm2/builtins/native.h"
#include "flash/avm2/builtins/xml.h"

namespace kinolux::avm2 {
namespace {

constexpr int kElementNode = 1, kTextNode = 3, kCommentNode = 8;

class DomNode : public Object {
public:
    using Object::Object;
    int type = kElementNode;
    Value name = Value::null();
    Value value = Value::null();
    Object* attributes = nullptr;
    std::vector<DomNode*> children;
    DomNode* parent = nullptr;
    ArrayObject* childNodes = nullptr;  // the array scripts hold, kept in step with `children`
    bool ignoreWhite = false;           // documents: parsing drops blank text
};

DomNode* domNode(Vm& vm, const Value& v) {
    auto* node = dynamic_cast<DomNode*>(v.object());
    if (!node)
        vm.throwError(ErrorType::TypeError,
                      "Error #1034: Type Coercion failed: cannot convert " + vm.classOf(v)->qualifiedName().toUtf8() +
                          " to flash.xml.XMLNode.",
                      1034);
    return node;
}

DomNode* optionalNode(const Value& v) { return dynamic_cast<DomNode*>(v.object()); }

Value nodeValue(DomNode* n) { return n ? Value(static_cast<Object*>(n)) : Value::null(); }

void syncChildNodes(Vm& vm, DomNode* n) {
    if (!n->childNodes) n->childNodes = vm.newArray();
    auto& elements = n->childNodes->elements;
    if (n->children.size() > elements.size()) vm.charge((n->children.size() - elements.size()) * sizeof(Value));
    elements.clear();
    for (DomNode* c : n->children) elements.push_back(Value(static_cast<Object*>(c)));
}

DomNode* newNode(Vm& vm, Class* cls, int type, Value nameOrValue) {
    auto* n = vm.make<DomNode>(ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
    n->type = type;
    if (type == kElementNode) n->name = std::move(nameOrValue);
    else n->value = std::move(nameOrValue);
    n->attributes = vm.newObject();
    syncChildNodes(vm, n);
    return n;
}

void detach(Vm& vm, DomNode* n) {
    DomNode* p = n->parent;
    if (!p) return;
    std::erase(p->children, n);
    n->parent = nullptr;
    syncChildNodes(vm, p);
}

// Puts `child` into `parent` before `before` (at the end when null), out of
// wherever it was.
void insert(Vm& vm, DomNode* parent, DomNode* child, DomNode* before) {
    for (DomNode* p = parent; p; p = p->parent)
        if (p == child)
            vm.throwError(ErrorType::Error,
                          "Error #2150: An object cannot be added as a child to one of its children (or children's "
                          "children, etc.).",
                          2150);
    detach(vm, child);
    auto at = before ? std::find(parent->children.begin(), parent->children.end(), before) : parent->children.end();
    parent->children.insert(at, child);
    child->parent = parent;
    syncChildNodes(vm, parent);
}

DomNode* sibling(DomNode* n, int step) {
    if (!n->parent) return nullptr;
    auto& kids = n->parent->children;
    auto it = std::find(kids.begin(), kids.end(), n);
    std::ptrdiff_t i = (it - kids.begin()) + step;
    return i >= 0 && i < std::ptrdiff_t(kids.size()) ? kids[std::size_t(i)] : nullptr;
}

// ---- text form ----

String escaped(Vm& vm, const Value& v) {
    std::u16string out;
    for (char16_t c : vm.toString(v).view()) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        case u'\'': out += u"&apos;"; break;
        default: out.push_back(c);
        }
    }
    return String(out);
}

void write(Vm& vm, const DomNode* n, std::u16string& out, std::size_t depth) {
    if (depth > kMaxXmlDepth) vm.throwError(ErrorType::Error, "Error #1023: Stack overflow occurred.", 1023);
    if (out.size() > vm.limits().maxStringLength) throw avm1::ScriptAbort(avm1::LimitMessage::kString, false);
    if (n->type == kTextNode) {
        out += escaped(vm, n->value).view();
        return;
    }
    if (n->type == kCommentNode) {
        out += u"<!--";
        out += vm.toString(n->value).view();
        out += u"-->";
        return;
    }
    bool named = !n->name.isNullish();
    if (named) {
        out.push_back(u'<');
        out += vm.toString(n->name).view();
        for (const auto& a : n->attributes->dynamic.entries()) {
            out.push_back(u' ');
            out += a.name.view();
            out += u"=\"";
            out += escaped(vm, a.value).view();
            out.push_back(u'"');
        }
        if (n->children.empty()) {
            out += u" />";
            return;
        }
        out.push_back(u'>');
    }
    for (const DomNode* c : n->children) write(vm, c, out, depth + 1);
    if (named) {
        out += u"</";
        out += vm.toString(n->name).view();
        out.push_back(u'>');
    }
}

// ---- parsing ----

DomNode* fromXml(Vm& vm, const XmlObject* x, bool ignoreWhite, std::size_t depth) {
    if (depth > kMaxXmlDepth) vm.throwError(ErrorType::Error, "Error #1023: Stack overflow occurred.", 1023);
    Class* cls = xmlClasses(vm).domNode;
    if (x->nodeKind == XmlKind::Text) return newNode(vm, cls, kTextNode, Value(x->text));
    if (x->nodeKind == XmlKind::Comment) return newNode(vm, cls, kCommentNode, Value(x->text));
    String name = x->prefix.empty() ? x->local : String::concat(String::concat(x->prefix, String(u":")), x->local);
    DomNode* n = newNode(vm, cls, kElementNode, Value(name));
    for (const XmlNamespace& ns : x->declarations)
        n->attributes->dynamic.set(ns.prefix.empty() ? String(u"xmlns") : String::concat(String(u"xmlns:"), ns.prefix),
                                   Value(ns.uri));
    for (const XmlObject* a : x->attributes) {
        String attr = a->prefix.empty() ? a->local : String::concat(String::concat(a->prefix, String(u":")), a->local);
        n->attributes->dynamic.set(attr, Value(a->text));
    }
    for (const XmlObject* c : x->children) {
        if (c->nodeKind == XmlKind::Instruction) continue;
        if (ignoreWhite && c->nodeKind == XmlKind::Text && !c->cdata && isBlankXmlText(c->text.view())) continue;
        DomNode* child = fromXml(vm, c, ignoreWhite, depth + 1);
        child->parent = n;
        n->children.push_back(child);
    }
    syncChildNodes(vm, n);
    return n;
}

// The E4X parser with comments and white space kept, whatever the XML
// class's settings are: the document sorts them itself.
XmlObject* parseKeepingText(Vm& vm, const String& source) {
    struct Restore {
        XmlSettings& settings;
        XmlSettings saved;
        ~Restore() { settings = saved; }
    } restore{xmlSettings(vm), xmlSettings(vm)};
    restore.settings = XmlSettings{};
    restore.settings.ignoreWhitespace = false;
    restore.settings.ignoreComments = false;
    return parseXmlFragment(vm, source.view());
}

void parseInto(Vm& vm, DomNode* doc, const String& source) {
    DomNode* parsed = fromXml(vm, parseKeepingText(vm, source), doc->ignoreWhite, 0);
    for (DomNode* c : doc->children) c->parent = nullptr;
    doc->children.clear();
    for (DomNode* c : parsed->children) {
        c->parent = doc;
        doc->children.push_back(c);
    }
    syncChildNodes(vm, doc);
}

// ---- XMLNode ----

Value nodeInit(Vm& vm, const Value& self, std::span<const Value> args) {
    DomNode* n = domNode(vm, self);
    n->type = toInt32(vm.toNumber(arg(args, 0)));
    Value text = args.size() > 1 && !args[1].isNullish() ? Value(vm.toString(args[1])) : Value::null();
    if (n->type == kElementNode) n->name = text;
    else n->value = text;
    return Value();
}

Value getFirstChild(Vm& vm, const Value& self, std::span<const Value>) {
    DomNode* n = domNode(vm, self);
    return nodeValue(n->children.empty() ? nullptr : n->children.front());
}
Value getLastChild(Vm& vm, const Value& self, std::span<const Value>) {
    DomNode* n = domNode(vm, self);
    return nodeValue(n->children.empty() ? nullptr : n->children.back());
}
Value getNextSibling(Vm& vm, const Value& self, std::span<const Value>) {
    return nodeValue(sibling(domNode(vm, self), 1));
}
Value getPreviousSibling(Vm& vm, const Value& self, std::span<const Value>) {
    return nodeValue(sibling(domNode(vm, self), -1));
}
Value getParentNode(Vm& vm, const Value& self, std::span<const Value>) { return nodeValue(domNode(vm, self)->parent); }
Value getChildNodes(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(static_cast<Object*>(domNode(vm, self)->childNodes));
}
Value getNodeType(Vm& vm, const Value& self, std::span<const Value>) { return Value(domNode(vm, self)->type); }
Value setNodeType(Vm& vm, const Value& self, std::span<const Value> args) {
    domNode(vm, self)->type = toInt32(vm.toNumber(arg(args, 0)));
    return Value();
}
Value getNodeName(Vm& vm, const Value& self, std::span<const Value>) { return domNode(vm, self)->name; }
Value setNodeName(Vm& vm, const Value& self, std::span<const Value> args) {
    domNode(vm, self)->name = arg(args, 0).isNullish() ? Value::null() : Value(vm.toString(arg(args, 0)));
    return Value();
}
Value getNodeValue(Vm& vm, const Value& self, std::span<const Value>) { return domNode(vm, self)->value; }
Value setNodeValue(Vm& vm, const Value& self, std::span<const Value> args) {
    domNode(vm, self)->value = arg(args, 0).isNullish() ? Value::null() : Value(vm.toString(arg(args, 0)));
    return Value();
}
Value getAttributes(Vm& vm, const Value& self, std::span<const Value>) { return Value(domNode(vm, self)->attributes); }
Value setAttributes(Vm& vm, const Value& self, std::span<const Value> args) {
    if (Object* o = arg(args, 0).object()) domNode(vm, self)->attributes = o;
    return Value();
}

// nodeName's parts: "prefix:local".
std::pair<String, String> nameParts(Vm& vm, DomNode* n) {
    if (n->name.isNullish()) return {String(), String()};
    String name = vm.toString(n->name);
    std::size_t colon = name.view().find(u':');
    if (colon == std::u16string_view::npos) return {String(), name};
    return {String(name.view().substr(0, colon)), String(name.view().substr(colon + 1))};
}
Value getLocalName(Vm& vm, const Value& self, std::span<const Value>) {
    DomNode* n = domNode(vm, self);
    return n->name.isNullish() ? Value::null() : Value(nameParts(vm, n).second);
}
Value getPrefix(Vm& vm, const Value& self, std::span<const Value>) {
    DomNode* n = domNode(vm, self);
    return n->name.isNullish() ? Value::null() : Value(nameParts(vm, n).first);
}

// The URI a prefix is declared with on the node or above it; null when none.
Value namespaceForPrefix(DomNode* n, const String& prefix) {
    String attr = prefix.empty() ? String(u"xmlns") : String::concat(String(u"xmlns:"), prefix);
    for (DomNode* p = n; p; p = p->parent)
        if (const Value* v = p->attributes->dynamic.get(attr.view())) return *v;
    return Value::null();
}
Value getNamespaceUri(Vm& vm, const Value& self, std::span<const Value>) {
    DomNode* n = domNode(vm, self);
    if (n->name.isNullish()) return Value::null();
    Value uri = namespaceForPrefix(n, nameParts(vm, n).first);
    return uri.isNull() ? Value(String()) : uri;
}
Value getNamespaceForPrefix(Vm& vm, const Value& self, std::span<const Value> args) {
    return namespaceForPrefix(domNode(vm, self), vm.toString(arg(args, 0)));
}
Value getPrefixForNamespace(Vm& vm, const Value& self, std::span<const Value> args) {
    String uri = vm.toString(arg(args, 0));
    for (DomNode* p = domNode(vm, self); p; p = p->parent)
        for (const auto& a : p->attributes->dynamic.entries()) {
            std::u16string_view name = a.name.view();
            if (name.substr(0, 5) != u"xmlns" || !(vm.toString(a.value) == uri)) continue;
            if (name.size() == 5) return Value(String());
            if (name[5] == u':') return Value(String(name.substr(6)));
        }
    return Value::null();
}

Value appendChild(Vm& vm, const Value& self, std::span<const Value> args) {
    insert(vm, domNode(vm, self), domNode(vm, arg(args, 0)), nullptr);
    return Value();
}
Value insertBefore(Vm& vm, const Value& self, std::span<const Value> args) {
    DomNode* n = domNode(vm, self);
    DomNode* before = optionalNode(arg(args, 1));
    if (before && before->parent != n) return Value();
    insert(vm, n, domNode(vm, arg(args, 0)), before);
    return Value();
}
Value removeNode(Vm& vm, const Value& self, std::span<const Value>) {
    detach(vm, domNode(vm, self));
    return Value();
}
Value hasChildNodes(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(!domNode(vm, self)->children.empty());
}

DomNode* clone(Vm& vm, const DomNode* n, bool deep, std::size_t depth) {
    if (depth > kMaxXmlDepth) vm.throwError(ErrorType::Error, "Error #1023: Stack overflow occurred.", 1023);
    DomNode* copy = newNode(vm, n->cls, n->type, Value());
    copy->name = n->name;
    copy->value = n->value;
    for (const auto& a : n->attributes->dynamic.entries()) copy->attributes->dynamic.set(a.name, a.value);
    if (deep) {
        for (const DomNode* c : n->children) {
            DomNode* child = clone(vm, c, true, depth + 1);
            child->parent = copy;
            copy->children.push_back(child);
        }
        syncChildNodes(vm, copy);
    }
    return copy;
}
Value cloneNode(Vm& vm, const Value& self, std::span<const Value> args) {
    return Value(static_cast<Object*>(clone(vm, domNode(vm, self), toBoolean(arg(args, 0)), 0)));
}

Value nodeToString(Vm& vm, const Value& self, std::span<const Value>) {
    Object* o = self.object();
    if (!dynamic_cast<DomNode*>(o)) return Value(String());
    std::u16string out;
    write(vm, static_cast<DomNode*>(o), out, 0);
    return Value(String(out));
}

// ---- XMLDocument ----

Value documentInit(Vm& vm, const Value& self, std::span<const Value> args) {
    DomNode* doc = domNode(vm, self);
    doc->type = kElementNode;
    doc->name = Value::null();
    if (!args.empty() && !args[0].isNullish()) parseInto(vm, doc, vm.toString(args[0]));
    return Value();
}
Value getIgnoreWhite(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(domNode(vm, self)->ignoreWhite);
}
Value setIgnoreWhite(Vm& vm, const Value& self, std::span<const Value> args) {
    domNode(vm, self)->ignoreWhite = toBoolean(arg(args, 0));
    return Value();
}
Value parseXml(Vm& vm, const Value& self, std::span<const Value> args) {
    parseInto(vm, domNode(vm, self), vm.toString(arg(args, 0)));
    return Value();
}
Value createElement(Vm& vm, const Value&, std::span<const Value> args) {
    return Value(
        static_cast<Object*>(newNode(vm, xmlClasses(vm).domNode, kElementNode, Value(vm.toString(arg(args, 0))))));
}
Value createTextNode(Vm& vm, const Value&, std::span<const Value> args) {
    return Value(
        static_cast<Object*>(newNode(vm, xmlClasses(vm).domNode, kTextNode, Value(vm.toString(arg(args, 0))))));
}

}  // namespace

void installXmlDocumentClasses(Vm& vm) {
    Class* object = vm.findClass(u"Object");
    Class* node = vm.defineClass(u"flash.xml", u"XMLNode", object, [](Vm& vm, Class* cls) -> Object* {
        auto* n = vm.make<DomNode>(ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
        n->attributes = vm.newObject();
        syncChildNodes(vm, n);
        return n;
    });
    xmlClasses(vm).domNode = node;
    node->init = vm.nativeMethod(nodeInit, String(u"XMLNode"));
    vm.defineGetter(node, u"firstChild", getFirstChild);
    vm.defineGetter(node, u"lastChild", getLastChild);
    vm.defineGetter(node, u"nextSibling", getNextSibling);
    vm.defineGetter(node, u"previousSibling", getPreviousSibling);
    vm.defineGetter(node, u"parentNode", getParentNode);
    vm.defineGetter(node, u"childNodes", getChildNodes);
    vm.defineGetter(node, u"nodeType", getNodeType, setNodeType);
    vm.defineGetter(node, u"nodeName", getNodeName, setNodeName);
    vm.defineGetter(node, u"nodeValue", getNodeValue, setNodeValue);
    vm.defineGetter(node, u"attributes", getAttributes, setAttributes);
    vm.defineGetter(node, u"localName", getLocalName);
    vm.defineGetter(node, u"prefix", getPrefix);
    vm.defineGetter(node, u"namespaceURI", getNamespaceUri);
    vm.defineTraitMethod(node, u"getNamespaceForPrefix", getNamespaceForPrefix);
    vm.defineTraitMethod(node, u"getPrefixForNamespace", getPrefixForNamespace);
    vm.defineTraitMethod(node, u"appendChild", appendChild);
    vm.defineTraitMethod(node, u"insertBefore", insertBefore);
    vm.defineTraitMethod(node, u"removeNode", removeNode);
    vm.defineTraitMethod(node, u"hasChildNodes", hasChildNodes);
    vm.defineTraitMethod(node, u"cloneNode", cloneNode);
    vm.defineTraitMethod(node, u"toString", nodeToString);

    Class* doc = vm.defineClass(u"flash.xml", u"XMLDocument", node, nullptr);
    doc->init = vm.nativeMethod(documentInit, String(u"XMLDocument"));
    vm.defineGetter(doc, u"ignoreWhite", getIgnoreWhite, setIgnoreWhite);
    vm.defineTraitMethod(doc, u"parseXML", parseXml);
    vm.defineTraitMethod(doc, u"createElement", createElement);
    vm.defineTraitMethod(doc, u"createTextNode", createTextNode);

    Class* types = vm.defineClass(u"flash.xml", u"XMLNodeType", object, nullptr);
    vm.defineConstant(types, u"ELEMENT_NODE", Value(1));
    vm.defineConstant(types, u"TEXT_NODE", Value(3));
    vm.defineConstant(types, u"CDATA_NODE", Value(4));
    vm.defineConstant(types, u"PROCESSING_INSTRUCTION_NODE", Value(7));
    vm.defineConstant(types, u"COMMENT_NODE", Value(8));
    vm.defineConstant(types, u"DOCUMENT_TYPE_NODE", Value(10));
    vm.defineConstant(types, u"XML_DECLARATION", Value(13));
}

}  // namespace kinolux::avm2
