// XMLNode.
#include "flash/avm1/builtins/xml_node.h"

namespace kinolux::avm1::builtins {

namespace {

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

// nodeName and nodeValue: text or null.
template <Value XmlNode::*Field>
Value getNodeText(Vm&, const Value& thisValue, Args) {
    NODE_OR_RETURN(Value());
    return self->*Field;
}

template <Value XmlNode::*Field>
Value setNodeText(Vm& vm, const Value& thisValue, Args args) {
    NODE_OR_RETURN(Value());
    // Assigning undefined leaves the text as it was.
    if (!arg(args, 0).isUndefined()) self->*Field = args[0].isNull() ? Value::null() : Value(vm.toString(args[0]));
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

#undef NODE_OR_RETURN

constexpr Member kXmlNodeMembers[] = {
    accessor(u"attributes", getAttributes, nullptr),
    accessor(u"childNodes", getChildNodes, nullptr),
    accessor(u"firstChild", getFirstChild, nullptr),
    accessor(u"lastChild", getLastChild, nullptr),
    accessor(u"nextSibling", getNextSibling, nullptr),
    accessor(u"previousSibling", getPreviousSibling, nullptr),
    accessor(u"parentNode", getParentNode, nullptr),
    accessor(u"nodeName", getNodeText<&XmlNode::name>, setNodeText<&XmlNode::name>),
    accessor(u"nodeValue", getNodeText<&XmlNode::value>, setNodeText<&XmlNode::value>),
    accessor(u"nodeType", getNodeType, nullptr),
    accessor(u"localName", getLocalName, nullptr),
    accessor(u"prefix", getPrefix, nullptr),
    accessor(u"namespaceURI", getNamespaceUri, nullptr),
    method(u"appendChild", appendChild),
    method(u"insertBefore", insertBefore),
    method(u"removeNode", removeNode),
    method(u"cloneNode", cloneNode),
    method(u"hasChildNodes", hasChildNodes),
    method(u"toString", nodeToString),
    method(u"getNamespaceForPrefix", getNamespaceForPrefix),
    method(u"getPrefixForNamespace", getPrefixForNamespace),
};

}  // namespace

void installXmlNode(Vm& vm) {
    ObjectRef nodeProto = vm.newObject();
    nodeProto->setInstanceKind(ObjectKind::XmlNode);
    vm.protos().xmlNode = nodeProto;
    defineClass(vm, *vm.global(), {u"XMLNode", nodeConstruct, nodeConstruct, kXmlNodeMembers}, nodeProto);
}

}  // namespace kinolux::avm1::builtins
