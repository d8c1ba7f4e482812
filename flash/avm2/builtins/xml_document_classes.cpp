// flash.xml: XMLDocument, XMLNode and XMLNodeType, the legacy DOM the newer
// scripts keep from the older ones' XML class, read by the same lenient
// reader. A node's childNodes is one array, kept up to date as children
// come and go, as the player's is.
#include "flash/avm2/builtins/native.h"
#include "flash/avm2/builtins/xml.h"
#include "flash/script/xml_document.h"

namespace kinolux::avm2 {

namespace {

using Args = std::span<const Value>;

constexpr int kElement = 1, kText = 3;

class LegacyNode final : public Object {
public:
    using Object::Object;
    int type = kElement;
    Value name = Value::null();
    Value value = Value::null();
    ArrayObject* children = nullptr;
    Object* attributes = nullptr;
    LegacyNode* parent = nullptr;

    std::vector<Value>& list() { return children->elements; }
    std::ptrdiff_t indexIn(const LegacyNode& of) const {
        const auto& l = of.children->elements;
        for (std::size_t i = 0; i < l.size(); ++i)
            if (l[i].object() == this) return std::ptrdiff_t(i);
        return -1;
    }
    void detach() {
        if (!parent) return;
        auto& siblings = parent->list();
        if (const std::ptrdiff_t at = indexIn(*parent); at >= 0) siblings.erase(siblings.begin() + at);
        parent = nullptr;
    }
    void insert(std::size_t at, LegacyNode* child) {
        child->detach();
        child->parent = this;
        list().insert(list().begin() + std::ptrdiff_t(std::min(at, list().size())), Value(child));
    }
    bool contains(const LegacyNode* node) const {
        for (const LegacyNode* n = this; n; n = n->parent)
            if (n == node) return true;
        return false;
    }
};

LegacyNode* nodeOf(const Value& v) { return dynamic_cast<LegacyNode*>(v.object()); }

LegacyNode& self(Vm& vm, const Value& t) {
    LegacyNode* n = nodeOf(t);
    if (!n) throwNotA(vm, t, "flash.xml.XMLNode");
    return *n;
}

Object* makeNode(Vm& vm, Class* cls) {
    auto* node = vm.make<LegacyNode>(ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
    node->children = vm.newArray();
    node->attributes = vm.newObject();
    return node;
}

LegacyNode* newNode(Vm& vm, int type, const Value& nameOrValue) {
    auto* node = static_cast<LegacyNode*>(vm.construct(vm.findClass(u"flash.xml.XMLNode"), {}));
    node->type = type;
    (type == kElement ? node->name : node->value) = nameOrValue;
    return node;
}

Value textOrNull(Vm& vm, const Value& v) { return v.isNullish() ? Value::null() : Value(vm.toString(v)); }

Value nodeInit(Vm& vm, const Value& t, Args a) {
    LegacyNode& n = self(vm, t);
    n.type = a.empty() ? kElement : toInt32(vm.toNumber(a[0]));
    (n.type == kElement ? n.name : n.value) = textOrNull(vm, arg(a, 1));
    return Value();
}

Value nodeOrNull(LegacyNode* n) { return n ? Value(static_cast<Object*>(n)) : Value::null(); }

Value childNodes(Vm& vm, const Value& t, Args) { return Value(self(vm, t).children); }
Value firstChild(Vm& vm, const Value& t, Args) {
    auto& l = self(vm, t).list();
    return l.empty() ? Value::null() : l.front();
}
Value lastChild(Vm& vm, const Value& t, Args) {
    auto& l = self(vm, t).list();
    return l.empty() ? Value::null() : l.back();
}
template <int Offset>
Value sibling(Vm& vm, const Value& t, Args) {
    LegacyNode& n = self(vm, t);
    if (!n.parent) return Value::null();
    const std::ptrdiff_t at = n.indexIn(*n.parent) + Offset;
    const auto& l = n.parent->list();
    return at >= 0 && at < std::ptrdiff_t(l.size()) ? l[std::size_t(at)] : Value::null();
}
Value parentNode(Vm& vm, const Value& t, Args) { return nodeOrNull(self(vm, t).parent); }
Value hasChildNodes(Vm& vm, const Value& t, Args) { return Value(!self(vm, t).list().empty()); }

Value attributes(Vm& vm, const Value& t, Args) { return Value(self(vm, t).attributes); }
Value setAttributes(Vm& vm, const Value& t, Args a) {
    if (Object* o = arg(a, 0).object()) self(vm, t).attributes = o;
    return Value();
}

template <Value LegacyNode::*Field>
Value nodeText(Vm& vm, const Value& t, Args) {
    return self(vm, t).*Field;
}
template <Value LegacyNode::*Field>
Value setNodeText(Vm& vm, const Value& t, Args a) {
    self(vm, t).*Field = textOrNull(vm, arg(a, 0));
    return Value();
}
Value nodeType(Vm& vm, const Value& t, Args) { return Value(self(vm, t).type); }
Value setNodeType(Vm& vm, const Value& t, Args a) {
    self(vm, t).type = toInt32(vm.toNumber(arg(a, 0)));
    return Value();
}

// "prefix:local" names.
std::pair<std::u16string_view, std::u16string_view> nameParts(const LegacyNode& n) {
    if (!n.name.isString()) return {};
    std::u16string_view s = n.name.string().view();
    const std::size_t colon = s.find(u':');
    if (colon == std::u16string_view::npos) return {{}, s};
    return {s.substr(0, colon), s.substr(colon + 1)};
}
Value localName(Vm& vm, const Value& t, Args) {
    LegacyNode& n = self(vm, t);
    return n.name.isString() ? Value(String(nameParts(n).second)) : Value::null();
}
Value prefix(Vm& vm, const Value& t, Args) {
    LegacyNode& n = self(vm, t);
    return n.name.isString() ? Value(String(nameParts(n).first)) : Value::null();
}

// The nearest xmlns attribute, up the tree, that binds a prefix (wanted
// by the prefix) or a URI (wanted by the URI).
Value namespaceFor(Vm& vm, const LegacyNode& from, const String& wanted, bool wantUri) {
    for (const LegacyNode* n = &from; n; n = n->parent) {
        for (const auto& p : n->attributes->dynamic.entries()) {
            std::u16string_view key = p.name.view();
            if (key.substr(0, 5) != u"xmlns" || (key.size() > 5 && key[5] != u':')) continue;
            const std::u16string_view boundPrefix = key.size() > 6 ? key.substr(6) : std::u16string_view();
            const String uri = vm.toString(p.value);
            if (wantUri && boundPrefix == wanted.view()) return Value(uri);
            if (!wantUri && uri == wanted) return Value(String(boundPrefix));
        }
    }
    return Value::null();
}
Value namespaceForPrefix(Vm& vm, const Value& t, Args a) {
    return namespaceFor(vm, self(vm, t), vm.toString(arg(a, 0)), true);
}
Value prefixForNamespace(Vm& vm, const Value& t, Args a) {
    return namespaceFor(vm, self(vm, t), vm.toString(arg(a, 0)), false);
}
Value namespaceUri(Vm& vm, const Value& t, Args) {
    LegacyNode& n = self(vm, t);
    if (!n.name.isString()) return Value::null();
    return namespaceFor(vm, n, String(nameParts(n).first), true);
}

Value appendChild(Vm& vm, const Value& t, Args a) {
    LegacyNode& n = self(vm, t);
    // A node does not go inside itself.
    if (LegacyNode* child = nodeOf(arg(a, 0)); child && !n.contains(child)) n.insert(n.list().size(), child);
    return Value();
}

Value insertBefore(Vm& vm, const Value& t, Args a) {
    LegacyNode& n = self(vm, t);
    LegacyNode* child = nodeOf(arg(a, 0));
    LegacyNode* before = nodeOf(arg(a, 1));
    // A node is not moved within its own parent (it is from another one).
    if (!child || !before || before->parent != &n || child->parent == &n || n.contains(child)) return Value();
    n.insert(std::size_t(before->indexIn(n)), child);
    return Value();
}

Value removeNode(Vm& vm, const Value& t, Args) {
    self(vm, t).detach();
    return Value();
}

// The walks over a tree recurse on the native stack, so a tree a script
// built too deep stops them with the player's error.
void checkDepth(Vm& vm, std::size_t depth) { checkXmlDepth(vm, depth); }

LegacyNode* cloneOf(Vm& vm, const LegacyNode& node, bool deep, std::size_t depth = 0) {
    checkDepth(vm, depth);
    LegacyNode* copy = newNode(vm, node.type, node.type == kElement ? node.name : node.value);
    copy->name = node.name;
    copy->value = node.value;
    for (const auto& p : node.attributes->dynamic.entries()) copy->attributes->dynamic.set(p.name, p.value, p.enumerable);
    if (deep)
        for (const Value& c : node.children->elements)
            if (LegacyNode* child = nodeOf(c)) copy->insert(copy->list().size(), cloneOf(vm, *child, true, depth + 1));
    return copy;
}

Value cloneNode(Vm& vm, const Value& t, Args a) {
    return Value(static_cast<Object*>(cloneOf(vm, self(vm, t), toBoolean(arg(a, 0)))));
}

// As the player writes a node: text escaped; an element with its
// attributes, closed at once when it has no children; a node without a
// name (a document) as its children alone.
void write(Vm& vm, const LegacyNode& node, std::u16string& out, std::size_t depth = 0) {
    checkDepth(vm, depth);
    if (node.type != kElement) {
        if (!node.value.isNullish()) out += script::escapeXml(vm.toString(node.value).view());
        return;
    }
    const bool named = node.name.isString();
    if (named) {
        out += u'<';
        out += node.name.string().view();
        for (const auto& p : node.attributes->dynamic.entries()) {
            out += u' ';
            out += p.name.view();
            out += u"=\"";
            out += script::escapeXml(vm.toString(p.value).view());
            out += u'"';
        }
        if (node.children->elements.empty()) {
            out += u" />";
            return;
        }
        out += u'>';
    }
    for (const Value& c : node.children->elements)
        if (LegacyNode* child = nodeOf(c)) write(vm, *child, out, depth + 1);
    if (named) {
        out += u"</";
        out += node.name.string().view();
        out += u'>';
    }
}

Value nodeToString(Vm& vm, const Value& t, Args) {
    std::u16string out;
    write(vm, self(vm, t), out);
    return Value(String(out));
}

// ---- XMLDocument ----

// Makes the reader's elements and text the document's nodes.
class NodeBuilder final : public script::XmlBuilder {
public:
    NodeBuilder(Vm& vm, LegacyNode& document) : vm_(vm) { open_.push_back(&document); }

    void openElement(std::u16string_view name,
                     const std::vector<std::pair<std::u16string, std::u16string>>& attributes) override {
        LegacyNode* node = newNode(vm_, kElement, Value(String(name)));
        for (const auto& [attribute, value] : attributes) node->attributes->dynamic.set(String(attribute), Value(String(value)));
        append(node);
        open_.push_back(node);
    }
    void closeElement() override { open_.pop_back(); }
    void text(std::u16string text) override { append(newNode(vm_, kText, Value(String(text)))); }

private:
    void append(LegacyNode* node) { open_.back()->insert(open_.back()->list().size(), node); }

    Vm& vm_;
    std::vector<LegacyNode*> open_;
};

// Reads the text in place of the document's children. What was read before
// a fault stays, as the player keeps it.
Value parseXml(Vm& vm, const Value& t, Args a) {
    LegacyNode& document = self(vm, t);
    for (const Value& c : document.children->elements)
        if (LegacyNode* child = nodeOf(c)) child->parent = nullptr;
    document.list().clear();
    NodeBuilder builder(vm, document);
    const bool ignoreWhite = toBoolean(vm.getPublic(t, u"ignoreWhite"));
    const script::XmlDocumentText read = script::readXmlDocument(vm.toString(arg(a, 0)).view(), ignoreWhite, builder);
    if (read.sawDecl) vm.setPublic(t, u"xmlDecl", Value(String(read.xmlDecl)));
    if (read.sawDocType) vm.setPublic(t, u"docTypeDecl", Value(String(read.docType)));
    return Value();
}

Value documentInit(Vm& vm, const Value& t, Args a) {
    vm.setPublic(t, u"ignoreWhite", Value(false));
    vm.setPublic(t, u"xmlDecl", Value::null());
    vm.setPublic(t, u"docTypeDecl", Value::null());
    vm.setPublic(t, u"idMap", Value(vm.newObject()));
    if (!arg(a, 0).isNullish()) parseXml(vm, t, a);
    return Value();
}

Value createElement(Vm& vm, const Value&, Args a) {
    return Value(static_cast<Object*>(newNode(vm, kElement, textOrNull(vm, arg(a, 0)))));
}
Value createTextNode(Vm& vm, const Value&, Args a) {
    return Value(static_cast<Object*>(newNode(vm, kText, textOrNull(vm, arg(a, 0)))));
}

// The declarations the text had, then the nodes.
Value documentToString(Vm& vm, const Value& t, Args) {
    std::u16string out;
    for (std::u16string_view declaration : {u"xmlDecl", u"docTypeDecl"})
        if (Value v = vm.getPublic(t, declaration); !v.isNullish()) out += vm.toString(v).view();
    write(vm, self(vm, t), out);
    return Value(String(out));
}

}  // namespace

void installXmlDocumentClasses(Vm& vm) {
    Class* node = vm.defineClass(u"flash.xml", u"XMLNode", vm.findClass(u"Object"), makeNode);
    vm.defineConstructor(node, nodeInit);
    vm.defineGetter(node, u"childNodes", childNodes);
    vm.defineGetter(node, u"firstChild", firstChild);
    vm.defineGetter(node, u"lastChild", lastChild);
    vm.defineGetter(node, u"nextSibling", sibling<1>);
    vm.defineGetter(node, u"previousSibling", sibling<-1>);
    vm.defineGetter(node, u"parentNode", parentNode);
    vm.defineGetter(node, u"attributes", attributes, setAttributes);
    vm.defineGetter(node, u"nodeName", nodeText<&LegacyNode::name>, setNodeText<&LegacyNode::name>);
    vm.defineGetter(node, u"nodeValue", nodeText<&LegacyNode::value>, setNodeText<&LegacyNode::value>);
    vm.defineGetter(node, u"nodeType", nodeType, setNodeType);
    vm.defineGetter(node, u"localName", localName);
    vm.defineGetter(node, u"prefix", prefix);
    vm.defineGetter(node, u"namespaceURI", namespaceUri);
    vm.defineTraitMethod(node, u"hasChildNodes", hasChildNodes);
    vm.defineTraitMethod(node, u"appendChild", appendChild);
    vm.defineTraitMethod(node, u"insertBefore", insertBefore);
    vm.defineTraitMethod(node, u"removeNode", removeNode);
    vm.defineTraitMethod(node, u"cloneNode", cloneNode);
    vm.defineTraitMethod(node, u"toString", nodeToString);
    vm.defineTraitMethod(node, u"getNamespaceForPrefix", namespaceForPrefix);
    vm.defineTraitMethod(node, u"getPrefixForNamespace", prefixForNamespace);

    Class* document = vm.defineClass(u"flash.xml", u"XMLDocument", node, makeNode);
    document->sealed = false;
    vm.defineConstructor(document, documentInit);
    vm.defineTraitMethod(document, u"parseXML", parseXml);
    vm.defineTraitMethod(document, u"createElement", createElement);
    vm.defineTraitMethod(document, u"createTextNode", createTextNode);
    vm.defineTraitMethod(document, u"toString", documentToString);

    Class* types = vm.defineClass(u"flash.xml", u"XMLNodeType", vm.findClass(u"Object"), nullptr);
    for (auto [name, value] : {std::pair{u"ELEMENT_NODE", 1}, {u"TEXT_NODE", 3}, {u"CDATA_NODE", 4},
                               {u"PROCESSING_INSTRUCTION_NODE", 7}, {u"COMMENT_NODE", 8},
                               {u"DOCUMENT_TYPE_NODE", 10}, {u"XML_DECLARATION", 13}})
        vm.defineConstant(types, name, Value(value));
}

}  // namespace kinolux::avm2
