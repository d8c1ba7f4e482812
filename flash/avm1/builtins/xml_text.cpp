// The text form of XML documents: the nodes the shared reader finds, and
// the serializer.
#include "flash/avm1/builtins/xml_node.h"

namespace kinolux::avm1::builtins {

namespace {

// Makes the reader's elements and text the document's nodes.
class NodeBuilder final : public script::XmlBuilder {
public:
    NodeBuilder(Vm& vm, const Ref<XmlNode>& document) : vm_(vm) { open_.push_back(document); }

    void openElement(std::u16string_view name,
                     const std::vector<std::pair<std::u16string, std::u16string>>& attributes) override {
        Ref<XmlNode> node = newNode(vm_, kElement, Value(String(name)), nodeProto(vm_));
        // Stored newest first, so that for..in lists them in document order.
        for (auto it = attributes.rbegin(); it != attributes.rend(); ++it)
            node->attributes->defineValue(String(it->first), Value(String(it->second)));
        append(node);
        open_.push_back(node);
    }
    void closeElement() override { open_.pop_back(); }
    void text(std::u16string text) override { append(newNode(vm_, kText, Value(String(text)), nodeProto(vm_))); }

private:
    void append(const Ref<XmlNode>& node) { open_.back()->insert(open_.back()->children.size(), node); }

    Vm& vm_;
    std::vector<Ref<XmlNode>> open_;
};

}  // namespace

void serialize(const XmlNode& node, std::u16string& out) {
    if (node.type == kText) {
        if (node.value.isString()) out += script::escapeXml(node.value.string().view());
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
                out += script::escapeXml(primitiveToString(it->value, 7).view());
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

script::XmlDocumentText parseXmlText(Vm& vm, const Ref<XmlNode>& document, std::u16string_view text,
                                     bool ignoreWhite) {
    NodeBuilder builder(vm, document);
    return script::readXmlDocument(text, ignoreWhite, builder);
}

Ref<XmlNode> newNode(Vm& vm, int type, Value nameOrValue, const Value& proto) {
    Ref<XmlNode> node(static_cast<XmlNode*>(makeXmlNode(vm, proto).get()));
    node->type = type;
    if (type == kElement) node->name = std::move(nameOrValue);
    else node->value = std::move(nameOrValue);
    return node;
}

ObjectRef makeXmlNode(Vm& vm, const Value& proto) {
    Ref<XmlNode> node = vm.heap().make<XmlNode>(proto);
    node->attributes = vm.newObject();
    return ObjectRef(node);
}

}  // namespace kinolux::avm1::builtins
