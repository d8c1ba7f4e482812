// The XMLNode objects behind XMLNode and XML: a small DOM, and its text
// form (the Flash player's parser, its status codes included, and
// serializer).
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/script/xml_document.h"

namespace kinolux::avm1::builtins {

constexpr int kElement = 1, kText = 3;

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

inline XmlNode* asNode(const Value& v) {
    return thisOfKind<XmlNode>(v, ObjectKind::XmlNode);
}

Ref<XmlNode> newNode(Vm& vm, int type, Value nameOrValue, const Value& proto);
inline Value nodeProto(Vm& vm) { return Value(vm.protos().xmlNode); }

// Parses `text` into `document`'s children, with XML.status's code.
script::XmlDocumentText parseXmlText(Vm& vm, const Ref<XmlNode>& document, std::u16string_view text,
                                     bool ignoreWhite);
void serialize(const XmlNode& node, std::u16string& out);

void installXmlNode(Vm& vm);

}  // namespace kinolux::avm1::builtins
