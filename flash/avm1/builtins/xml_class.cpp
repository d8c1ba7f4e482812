// XMLNode and XML: a small DOM with the Flash player's parser (its status
// codes included) and serializer.
#include <algorithm>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

constexpr int kElement = 1, kText = 3;

// Parse results, as XML.status reports them.
namespace Status {
constexpr int Ok = 0, CdataUnterminated = -2, DeclarationUnterminated = -3, DoctypeUnterminated = -4,
              CommentUnterminated = -5, ElementMalformed = -6, AttributeUnterminated = -8,
              EndTagMissing = -9, StartTagMissing = -10;
}

class XmlNode final : public Object {
public:
    XmlNode(Heap& heap, Value proto) : Object(heap, ObjectKind::XmlNode, std::move(proto)) {}
    ~XmlNode() override { orphanChildren(); }

    int type = kElement;
    Value name = Value::null();
    Value value = Value::null();
    std::vector<Ref<XmlNode>> children;
    XmlNode* parent = nullptr;  // not counted: the parent holds the child
    ObjectRef attributes;

    void detach() {
        if (!parent) return;
        auto& siblings = parent->children;
        auto it = std::find_if(siblings.begin(), siblings.end(), [this](const Ref<XmlNode>& c) { return c.get() == this; });
        Ref<XmlNode> keep(this);
        if (it != siblings.end()) siblings.erase(it);
        parent = nullptr;
    }
    void insert(std::size_t at, const Ref<XmlNode>& child) {
        child->detach();
        child->parent = this;
        children.insert(children.begin() + static_cast<std::ptrdiff_t>(std::min(at, children.size())), child);
    }
    int indexInParent() const {
        if (!parent) return -1;
        for (std::size_t i = 0; i < parent->children.size(); ++i) {
            if (parent->children[i].get() == this) return static_cast<int>(i);
        }
        return -1;
    }

protected:
    void trace(Tracer& tracer) const override {
        Object::trace(tracer);
        for (const Ref<XmlNode>& c : children) tracer.visit(c.get());
        if (attributes) tracer.visit(attributes.get());
    }
    void clearReferences() override {
        orphanChildren();
        std::vector<Ref<XmlNode>> gone = std::move(children);
        children.clear();
        ObjectRef a = std::move(attributes);
        Object::clearReferences();
    }

private:
    void orphanChildren() {
        for (const Ref<XmlNode>& c : children) {
            if (c && c->parent == this) c->parent = nullptr;
        }
    }
};

XmlNode* asNode(const Value& v) {
    return v.isObject() && v.object()->kind() == ObjectKind::XmlNode ? static_cast<XmlNode*>(v.object()) : nullptr;
}

Ref<XmlNode> newNode(Vm& vm, int type, Value nameOrValue, const Value& proto) {
    Ref<XmlNode> node(static_cast<XmlNode*>(makeXmlNode(vm, proto).get()));
    node->type = type;
    if (type == kElement) node->name = std::move(nameOrValue);
    else node->value = std::move(nameOrValue);
    return node;
}

Value nodeProto(Vm& vm) { return Value(vm.protos().xmlNode); }

// ---- text escaping ----

std::u16string escape(std::u16string_view s) {
    std::u16string out;
    for (char16_t c : s) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        case u'\'': out += u"&apos;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::u16string unescape(std::u16string_view s) {
    static const std::pair<std::u16string_view, char16_t> kEntities[] = {
        {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&amp;", u'&'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}, {u"&nbsp;", 0xA0},
    };
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == u'&') {
            bool done = false;
            for (const auto& [entity, ch] : kEntities) {
                if (s.substr(i, entity.size()) == entity) {
                    out.push_back(ch);
                    i += entity.size();
                    done = true;
                    break;
                }
            }
            if (!done && i + 2 < s.size() && s[i + 1] == u'#') {
                std::size_t end = s.find(u';', i);
                if (end != std::u16string_view::npos && end - i < 12) {
                    bool hex = s[i + 2] == u'x' || s[i + 2] == u'X';
                    std::u16string digits(s.substr(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2)));
                    std::string ascii(digits.begin(), digits.end());
                    char* stop = nullptr;
                    unsigned long code = std::strtoul(ascii.c_str(), &stop, hex ? 16 : 10);
                    if (!ascii.empty() && stop && *stop == 0 && code < 0x110000) {
                        if (code >= 0x10000) {
                            code -= 0x10000;
                            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
                            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
                        } else {
                            out.push_back(static_cast<char16_t>(code));
                        }
                        i = end + 1;
                        done = true;
                    }
                }
            }
            if (done) continue;
        }
        out.push_back(s[i++]);
    }
    return out;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// ---- the parser ----

class Parser {
public:
    Parser(Vm& vm, const Ref<XmlNode>& document, std::u16string_view text, bool ignoreWhite)
        : vm_(vm), text_(text), ignoreWhite_(ignoreWhite) {
        open_.push_back(document);
    }

    int run() {
        while (pos_ < text_.size()) {
            if (text_[pos_] != u'<') {
                textNode();
                continue;
            }
            int status = Status::Ok;
            if (starts(u"<?")) status = declaration();
            else if (starts(u"<!--")) status = skipUntil(u"-->", Status::CommentUnterminated);
            else if (starts(u"<![CDATA[")) status = cdata();
            else if (starts(u"<!")) status = doctype();
            else if (starts(u"</")) status = endTag();
            else status = startTag();
            if (status != Status::Ok) return status;
        }
        return open_.size() > 1 ? Status::EndTagMissing : Status::Ok;
    }

    std::u16string xmlDecl, docType;
    bool sawDecl = false, sawDocType = false;

private:
    bool starts(std::u16string_view s) const { return text_.substr(pos_, s.size()) == s; }

    void textNode() {
        std::size_t end = text_.find(u'<', pos_);
        if (end == std::u16string_view::npos) end = text_.size();
        std::u16string_view raw = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (ignoreWhite_ && std::all_of(raw.begin(), raw.end(), isBlank)) return;
        appendText(unescape(raw));
    }

    void appendText(std::u16string text) {
        Ref<XmlNode> node = newNode(vm_, kText, Value(String(text)), nodeProto(vm_));
        open_.back()->insert(open_.back()->children.size(), node);
    }

    int skipUntil(std::u16string_view end, int failure) {
        std::size_t at = text_.find(end, pos_);
        if (at == std::u16string_view::npos) return failure;
        pos_ = at + end.size();
        return Status::Ok;
    }

    int declaration() {
        std::size_t at = text_.find(u"?>", pos_);
        if (at == std::u16string_view::npos) return Status::DeclarationUnterminated;
        xmlDecl += text_.substr(pos_, at + 2 - pos_);
        sawDecl = true;
        pos_ = at + 2;
        return Status::Ok;
    }

    int doctype() {
        std::size_t at = text_.find(u'>', pos_);
        if (at == std::u16string_view::npos) return Status::DoctypeUnterminated;
        docType = std::u16string(text_.substr(pos_, at + 1 - pos_));
        sawDocType = true;
        pos_ = at + 1;
        return Status::Ok;
    }

    int cdata() {
        std::size_t start = pos_ + 9;
        std::size_t at = text_.find(u"]]>", start);
        if (at == std::u16string_view::npos) return Status::CdataUnterminated;
        appendText(std::u16string(text_.substr(start, at - start)));
        pos_ = at + 3;
        return Status::Ok;
    }

    std::u16string_view name() {
        std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_]) && text_[pos_] != u'>' && text_[pos_] != u'/' &&
               text_[pos_] != u'=')
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    }

    int endTag() {
        pos_ += 2;
        std::u16string_view tag = name();
        skipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != u'>') return Status::ElementMalformed;
        ++pos_;
        if (open_.size() <= 1) return Status::StartTagMissing;
        const Value& openName = open_.back()->name;
        if (!openName.isString() || openName.string().view() != tag) return Status::EndTagMissing;
        open_.pop_back();
        return Status::Ok;
    }

    int startTag() {
        ++pos_;
        std::u16string_view tag = name();
        if (tag.empty()) return Status::ElementMalformed;
        Ref<XmlNode> node = newNode(vm_, kElement, Value(String(tag)), nodeProto(vm_));
        std::vector<std::pair<String, String>> attributes;
        for (;;) {
            skipBlanks();
            if (pos_ >= text_.size()) return Status::ElementMalformed;
            if (text_[pos_] == u'>' || starts(u"/>")) break;
            std::u16string_view attr = name();
            skipBlanks();
            if (attr.empty() || pos_ >= text_.size() || text_[pos_] != u'=') return Status::ElementMalformed;
            ++pos_;
            skipBlanks();
            if (pos_ >= text_.size() || (text_[pos_] != u'"' && text_[pos_] != u'\'')) return Status::ElementMalformed;
            char16_t quote = text_[pos_++];
            std::size_t end = text_.find(quote, pos_);
            if (end == std::u16string_view::npos) return Status::AttributeUnterminated;
            attributes.emplace_back(String(attr), String(unescape(text_.substr(pos_, end - pos_))));
            pos_ = end + 1;
        }
        // Stored newest first, so that for..in lists them in document order.
        for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
            if (node->attributes->properties().find(it->first, true) == PropertyMap::kNone)
                node->attributes->defineValue(it->first, Value(it->second));
        }
        bool empty = starts(u"/>");
        pos_ += empty ? 2 : 1;
        open_.back()->insert(open_.back()->children.size(), node);
        if (!empty) open_.push_back(node);
        return Status::Ok;
    }

    Vm& vm_;
    std::u16string_view text_;
    bool ignoreWhite_;
    std::size_t pos_ = 0;
    std::vector<Ref<XmlNode>> open_;
};

void serialize(const XmlNode& node, std::u16string& out) {
    if (node.type == kText) {
        if (node.value.isString()) out += escape(node.value.string().view());
        return;
    }
    bool named = node.name.isString();
    if (named) {
        out += u'<';
        out += node.name.string().view();
        if (node.attributes) {
            const auto& entries = node.attributes->properties().entries();
            for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
                if (it->isVirtual()) continue;
                out += u' ';
                out += it->name.view();
                out += u"=\"";
                out += escape(primitiveToString(it->value, 7).view());
                out += u'"';
            }
        }
        if (node.children.empty()) {
            out += u" />";
            return;
        }
        out += u'>';
    }
    for (const Ref<XmlNode>& child : node.children) serialize(*child, out);
    if (named) {
        out += u"</";
        out += node.name.string().view();
        out += u'>';
    }
}

// ---- XMLNode ----

Value nodeConstruct(Vm& vm, const Value& thisValue, Args args) {
    XmlNode* self = asNode(thisValue);
    if (!self) return thisValue;
    self->type = args.empty() ? kElement : vm.toInt32(args[0]);
    Value v = args.size() > 1 ? Value(vm.toString(args[1])) : Value::null();
    if (self->type == kElement) self->name = v;
    else self->value = v;
    return thisValue;
}

#define NODE_OR_RETURN(value)             \
    XmlNode* self = asNode(thisValue);    \
    if (!self) return value

Value getAttributes(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return Value(self->attributes);
}

Value getChildNodes(Vm& vm, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    std::vector<Value> list;
    for (const Ref<XmlNode>& c : self->children) list.emplace_back(ObjectRef(c.get()));
    return Value(ObjectRef(vm.newArray(std::move(list))));
}

Value getFirstChild(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return self->children.empty() ? Value::null() : Value(ObjectRef(self->children.front().get()));
}

Value getLastChild(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return self->children.empty() ? Value::null() : Value(ObjectRef(self->children.back().get()));
}

Value sibling(const Value& thisValue, int offset) {
    NODE_OR_RETURN(Value());
    int i = self->indexInParent();
    if (i < 0) return Value::null();
    int j = i + offset;
    if (j < 0 || j >= static_cast<int>(self->parent->children.size())) return Value::null();
    return Value(ObjectRef(self->parent->children[static_cast<std::size_t>(j)].get()));
}

Value getNextSibling(Vm&, const Value& thisValue, Args) { return sibling(thisValue, 1); }
Value getPreviousSibling(Vm&, const Value& thisValue, Args) { return sibling(thisValue, -1); }

Value getParentNode(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return self->parent ? Value(ObjectRef(self->parent)) : Value::null();
}

Value getNodeName(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return self->name;
}

Value setNodeName(Vm& vm, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value());
    // Assigning undefined leaves the name as it was.
    if (!arg(args, 0).isUndefined()) self->name = args[0].isNull() ? Value::null() : Value(vm.toString(args[0]));
    return Value();
}

Value getNodeValue(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return self->value;
}

Value setNodeValue(Vm& vm, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value());
    if (!arg(args, 0).isUndefined()) self->value = args[0].isNull() ? Value::null() : Value(vm.toString(args[0]));
    return Value();
}

Value getNodeType(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return Value(self->type);
}

std::u16string_view localPart(const Value& name) {
    if (!name.isString()) return {};
    std::u16string_view s = name.string().view();
    std::size_t colon = s.find(u':');
    return colon == std::u16string_view::npos ? s : s.substr(colon + 1);
}

Value getLocalName(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    if (!self->name.isString()) return Value::null();
    return Value(String(localPart(self->name)));
}

Value getPrefix(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    if (!self->name.isString()) return Value::null();
    std::u16string_view s = self->name.string().view();
    std::size_t colon = s.find(u':');
    return Value(String(colon == std::u16string_view::npos ? std::u16string_view() : s.substr(0, colon)));
}

Value appendChild(Vm&, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value());
    XmlNode* child = asNode(arg(args, 0));
    if (!child || child == self) return Value();
    for (XmlNode* p = self; p; p = p->parent) {
        if (p == child) return Value();  // would make a cycle
    }
    self->insert(self->children.size(), Ref<XmlNode>(child));
    return Value();
}

Value insertBefore(Vm&, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value());
    XmlNode* child = asNode(arg(args, 0));
    XmlNode* before = asNode(arg(args, 1));
    // A node is not moved within its own parent (it is from another one).
    if (!child || !before || before->parent != self || child->parent == self) return Value();
    for (XmlNode* p = self; p; p = p->parent) {
        if (p == child) return Value();
    }
    self->insert(static_cast<std::size_t>(before->indexInParent()), Ref<XmlNode>(child));
    return Value();
}

Value removeNode(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    self->detach();
    return Value();
}

Ref<XmlNode> cloneOf(Vm& vm, const XmlNode& node, bool deep) {
    Ref<XmlNode> copy = newNode(vm, node.type, Value(), node.protoValue());
    copy->name = node.name;
    copy->value = node.value;
    for (const Property& p : node.attributes->properties().entries()) copy->attributes->defineValue(p.name, p.value, p.flags);
    if (deep) {
        for (const Ref<XmlNode>& c : node.children) copy->insert(copy->children.size(), cloneOf(vm, *c, true));
    }
    return copy;
}

Value cloneNode(Vm& vm, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value());
    return Value(ObjectRef(cloneOf(vm, *self, vm.toBoolean(arg(args, 0)))));
}

Value hasChildNodes(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return Value(!self->children.empty());
}

Value nodeToString(Vm& vm, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    std::u16string out;
    ObjectRef holder(self);
    if (self->kind() == ObjectKind::XmlNode && !self->parent) {
        // A document prints its declarations first.
        Value decl = vm.get(holder, String(u"xmlDecl"));
        if (decl.isString()) out += decl.string().view();
        Value doctype = vm.get(holder, String(u"docTypeDecl"));
        if (doctype.isString()) out += doctype.string().view();
    }
    serialize(*self, out);
    return Value(String(out));
}

Value namespaceFor(Vm& vm, const Value& thisValue, Args args, bool wantUri) {
    NODE_OR_RETURN(Value());
    String wanted = vm.toString(arg(args, 0));
    for (XmlNode* n = self; n; n = n->parent) {
        if (!n->attributes) continue;
        for (const Property& p : n->attributes->properties().entries()) {
            std::u16string_view key = p.name.view();
            if (key.substr(0, 5) != u"xmlns") continue;
            std::u16string_view prefix = key.size() > 6 && key[5] == u':' ? key.substr(6) : std::u16string_view();
            if (key.size() != 5 && key[5] != u':') continue;
            String uri = primitiveToString(p.value, 7);
            if (wantUri && prefix == wanted.view()) return Value(uri);
            if (!wantUri && uri == wanted) return Value(String(prefix));
        }
    }
    return Value::null();
}

Value getNamespaceForPrefix(Vm& vm, const Value& thisValue, Args args) { return namespaceFor(vm, thisValue, args, true); }
Value getPrefixForNamespace(Vm& vm, const Value& thisValue, Args args) { return namespaceFor(vm, thisValue, args, false); }

Value getNamespaceUri(Vm& vm, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    Value prefix = getPrefix(vm, thisValue, {});
    if (!prefix.isString()) return Value::null();
    Value found = namespaceFor(vm, thisValue, Args(&prefix, 1), true);
    return found;
}

// ---- XML ----

// SWF 8 documents list their elements by id attribute in idMap.
void indexIds(Vm& vm, XmlNode& node, const ObjectRef& idMap) {
    for (const Ref<XmlNode>& child : node.children) {
        if (child->type != kElement) continue;
        Value id = child->attributes->ownValue(String(u"id"), true);
        if (id.isString()) vm.set(idMap, id.string(), Value(ObjectRef(child.get())));
        indexIds(vm, *child, idMap);
    }
}

void parseInto(Vm& vm, XmlNode& document, const String& text) {
    for (const Ref<XmlNode>& c : document.children) c->parent = nullptr;
    document.children.clear();
    ObjectRef holder(&document);
    Parser parser(vm, Ref<XmlNode>(&document), text.view(), vm.toBoolean(vm.get(holder, String(u"ignoreWhite"))));
    int status = parser.run();
    Value idMap = vm.get(holder, String(u"idMap"));
    if (idMap.isObject()) indexIds(vm, document, idMap.objectRef());
    vm.set(holder, String(u"status"), Value(status));
    if (parser.sawDecl) vm.set(holder, String(u"xmlDecl"), Value(String(parser.xmlDecl)));
    if (parser.sawDocType) vm.set(holder, String(u"docTypeDecl"), Value(String(parser.docType)));
}

Value xmlConstruct(Vm& vm, const Value& thisValue, Args args) {
    XmlNode* self = asNode(thisValue);
    if (!self) return thisValue;
    self->type = kElement;
    self->name = Value::null();
    ObjectRef holder(self);
    vm.set(holder, String(u"status"), Value(0));
    if (vm.swfVersion() >= 8) self->defineValue(String(u"idMap"), Value(vm.newObject()), PropertyFlag::DontEnum);
    if (!args.empty() && !args[0].isNullish()) parseInto(vm, *self, vm.toString(args[0]));
    return thisValue;
}

Value parseXml(Vm& vm, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value());
    parseInto(vm, *self, vm.toString(arg(args, 0)));
    return Value();
}

Value createElement(Vm& vm, const Value&, Args args) {
    return Value(ObjectRef(newNode(vm, kElement, Value(vm.toString(arg(args, 0))), nodeProto(vm))));
}

Value createTextNode(Vm& vm, const Value&, Args args) {
    return Value(ObjectRef(newNode(vm, kText, Value(vm.toString(arg(args, 0))), nodeProto(vm))));
}

Value xmlLoad(Vm& vm, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value(false));
    ObjectRef holder(self);
    vm.set(holder, String(u"loaded"), Value(false));
    std::uint32_t id = vm.startRequest(holder);
    return Value(vm.host().requestText(id, vm.toString(arg(args, 0)), HttpMethod::Get, {}));
}

Value xmlOnData(Vm& vm, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value());
    ObjectRef holder(self);
    Value success(false);
    if (!arg(args, 0).isUndefined()) {
        parseInto(vm, *self, vm.toString(args[0]));
        vm.set(holder, String(u"loaded"), Value(true));
        success = Value(true);
    } else {
        vm.set(holder, String(u"loaded"), Value(false));
    }
    vm.callMethod(Value(holder), String(u"onLoad"), Args(&success, 1));
    return Value();
}

Value zero(Vm&, const Value&, Args) { return Value(0); }
Value nothing(Vm&, const Value&, Args) { return Value(); }

#undef NODE_OR_RETURN

}  // namespace

ObjectRef makeXmlNode(Vm& vm, const Value& proto) {
    Ref<XmlNode> node = vm.heap().make<XmlNode>(proto);
    node->attributes = vm.newObject();
    return ObjectRef(node);
}

void installXml(Vm& vm) {
    Object& global = *vm.global();
    ObjectRef nodeProto = vm.newObject();
    nodeProto->setInstanceKind(ObjectKind::XmlNode);
    vm.protos().xmlNode = nodeProto;
    defineClass(vm, global, u"XMLNode", nodeConstruct, nodeConstruct, nodeProto);
    Object& n = *nodeProto;
    vm.defineProperty(n, u"attributes", getAttributes, nullptr);
    vm.defineProperty(n, u"childNodes", getChildNodes, nullptr);
    vm.defineProperty(n, u"firstChild", getFirstChild, nullptr);
    vm.defineProperty(n, u"lastChild", getLastChild, nullptr);
    vm.defineProperty(n, u"nextSibling", getNextSibling, nullptr);
    vm.defineProperty(n, u"previousSibling", getPreviousSibling, nullptr);
    vm.defineProperty(n, u"parentNode", getParentNode, nullptr);
    vm.defineProperty(n, u"nodeName", getNodeName, setNodeName);
    vm.defineProperty(n, u"nodeValue", getNodeValue, setNodeValue);
    vm.defineProperty(n, u"nodeType", getNodeType, nullptr);
    vm.defineProperty(n, u"localName", getLocalName, nullptr);
    vm.defineProperty(n, u"prefix", getPrefix, nullptr);
    vm.defineProperty(n, u"namespaceURI", getNamespaceUri, nullptr);
    vm.defineMethod(n, u"appendChild", appendChild);
    vm.defineMethod(n, u"insertBefore", insertBefore);
    vm.defineMethod(n, u"removeNode", removeNode);
    vm.defineMethod(n, u"cloneNode", cloneNode);
    vm.defineMethod(n, u"hasChildNodes", hasChildNodes);
    vm.defineMethod(n, u"toString", nodeToString);
    vm.defineMethod(n, u"getNamespaceForPrefix", getNamespaceForPrefix);
    vm.defineMethod(n, u"getPrefixForNamespace", getPrefixForNamespace);

    ObjectRef xmlProto = vm.heap().make<Object>(Value(nodeProto));
    vm.protos().xml = xmlProto;
    defineClass(vm, global, u"XML", xmlConstruct, xmlConstruct, xmlProto);
    Object& x = *xmlProto;
    vm.defineMethod(x, u"createElement", createElement);
    vm.defineMethod(x, u"createTextNode", createTextNode);
    vm.defineMethod(x, u"parseXML", parseXml);
    vm.defineMethod(x, u"load", xmlLoad);
    vm.defineMethod(x, u"sendAndLoad", xmlLoad);
    vm.defineMethod(x, u"send", nothing);
    vm.defineMethod(x, u"onData", xmlOnData);
    vm.defineMethod(x, u"getBytesLoaded", zero);
    vm.defineMethod(x, u"getBytesTotal", zero);
    vm.defineMethod(x, u"addRequestHeader", nothing);
    x.defineValue(u"ignoreWhite", Value(false), PropertyFlag::DontEnum);
    x.defineValue(u"contentType", Value(String(u"application/x-www-form-urlencoded")), PropertyFlag::DontEnum);
}

}  // namespace kinolux::avm1::builtins
