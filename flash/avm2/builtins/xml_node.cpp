// XML nodes: making them, naming them, copying and comparing them, and
// their text form.
#include "flash/avm2/builtins/xml.h"

#include <memory>

namespace kinolux::avm2 {
namespace {

struct XmlState {
    XmlSettings settings;
    XmlClasses classes;
};

XmlState& state(Vm& vm) {
    if (!vm.xmlState()) vm.xmlState() = std::make_shared<XmlState>();
    return *static_cast<XmlState*>(vm.xmlState().get());
}

XmlObject* deepCopy(Vm& vm, const XmlObject* node, XmlObject* parent, std::size_t depth) {
    checkXmlDepth(vm, depth);
    XmlObject* copy = newXmlNode(vm, node->nodeKind);
    copy->uri = node->uri;
    copy->local = node->local;
    copy->prefix = node->prefix;
    copy->text = node->text;
    copy->cdata = node->cdata;
    copy->declarations = node->declarations;
    copy->parent = parent;
    for (const XmlObject* a : node->attributes) copy->attributes.push_back(deepCopy(vm, a, copy, depth + 1));
    // A copy leaves out what the settings now ignore.
    const XmlSettings& settings = xmlSettings(vm);
    for (const XmlObject* c : node->children) {
        if (c->nodeKind == XmlKind::Comment && settings.ignoreComments) continue;
        if (c->nodeKind == XmlKind::Instruction && settings.ignoreProcessingInstructions) continue;
        copy->children.push_back(deepCopy(vm, c, copy, depth + 1));
    }
    return copy;
}

bool equalTrees(Vm& vm, const XmlObject* a, const XmlObject* b, std::size_t depth) {
    checkXmlDepth(vm, depth);
    if (a == b) return true;
    if (a->nodeKind != b->nodeKind || !(a->local == b->local) || !(a->uri == b->uri) || !(a->text == b->text))
        return false;
    if (a->attributes.size() != b->attributes.size() || a->children.size() != b->children.size()) return false;
    for (const XmlObject* x : a->attributes) {
        bool found = false;
        for (const XmlObject* y : b->attributes)
            found = found || (x->local == y->local && x->uri == y->uri && x->text == y->text);
        if (!found) return false;
    }
    for (std::size_t i = 0; i < a->children.size(); ++i)
        if (!equalTrees(vm, a->children[i], b->children[i], depth + 1)) return false;
    return true;
}

// The prefix a namespace is written with where `inScope` holds the
// declarations already made; null when none is declared.
const XmlNamespace* declared(const std::vector<XmlNamespace>& inScope, const String& uri) {
    for (auto it = inScope.rbegin(); it != inScope.rend(); ++it)
        if (it->uri == uri && it->hasPrefix) return &*it;
    return nullptr;
}

class Writer {
public:
    // `inherited`: the namespaces in scope above the node written first,
    // which it declares itself.
    Writer(Vm& vm, std::vector<XmlNamespace> inherited)
        : vm_(vm), settings_(xmlSettings(vm)), inherited_(std::move(inherited)) {}

    void node(const XmlObject* x, std::vector<XmlNamespace>& inScope, int indent, std::u16string& out) {
        if (out.size() > vm_.limits().maxStringLength) throw avm1::ScriptAbort(avm1::LimitMessage::kString, false);
        checkXmlDepth(vm_, ++depth_);
        bool pretty = settings_.prettyPrinting;
        if (pretty) out.append(std::size_t(indent), u' ');
        switch (x->nodeKind) {
        case XmlKind::Text:
            if (x->cdata) {
                out += u"<![CDATA[";
                out += x->text.view();
                out += u"]]>";
            } else {
                out += xmlEscapeText(pretty ? trimmedXmlText(x->text.view()) : x->text.view(), false).view();
            }
            break;
        case XmlKind::Attribute: out += xmlEscapeText(x->text.view(), true).view(); break;
        case XmlKind::Comment:
            out += u"<!--";
            out += x->text.view();
            out += u"-->";
            break;
        case XmlKind::Instruction:
            out += u"<?";
            out += x->local.view();
            if (!x->text.empty()) {
                out += u" ";
                out += x->text.view();
            }
            out += u"?>";
            break;
        case XmlKind::Element: element(x, inScope, indent, out); break;
        }
        --depth_;
    }

private:
    // The prefix for a name's namespace, declaring one when none is in scope.
    String prefixFor(const String& uri, const String& preferred, std::vector<XmlNamespace>& inScope,
                     std::vector<XmlNamespace>& added) {
        if (const XmlNamespace* ns = declared(inScope, uri)) {
            // The default namespace may not serve a name when a prefix was asked for.
            if (!(ns->prefix.empty() && !preferred.empty()) || declaredPrefix(inScope, preferred)) return ns->prefix;
        }
        String prefix = preferred;
        if (prefix.empty() && uri.empty()) return prefix;
        // A prefix another namespace holds in scope cannot be reused.
        int n = 0;
        while (prefixTaken(inScope, prefix, uri) || (prefix.empty() && !uri.empty() && defaultTaken(inScope))) {
            prefix = String::fromAscii("ns" + std::to_string(n++));
        }
        XmlNamespace ns{prefix, uri, true};
        inScope.push_back(ns);
        added.push_back(ns);
        return prefix;
    }
    static bool declaredPrefix(const std::vector<XmlNamespace>& inScope, const String& prefix) {
        for (const XmlNamespace& ns : inScope)
            if (ns.hasPrefix && ns.prefix == prefix) return true;
        return false;
    }
    static bool prefixTaken(const std::vector<XmlNamespace>& inScope, const String& prefix, const String& uri) {
        for (auto it = inScope.rbegin(); it != inScope.rend(); ++it)
            if (it->hasPrefix && it->prefix == prefix) return !(it->uri == uri);
        return false;
    }
    static bool defaultTaken(const std::vector<XmlNamespace>& inScope) {
        for (auto it = inScope.rbegin(); it != inScope.rend(); ++it)
            if (it->hasPrefix && it->prefix.empty()) return !it->uri.empty();
        return false;
    }

    void element(const XmlObject* x, std::vector<XmlNamespace>& inScope, int indent, std::u16string& out) {
        const std::size_t scopeMark = inScope.size();
        std::vector<XmlNamespace> added;
        for (const XmlNamespace& ns : x->declarations) {
            bool known = false;
            for (const XmlNamespace& a : inScope) known = known || (a.prefix == ns.prefix && a.uri == ns.uri);
            if (!known && ns.hasPrefix) {
                inScope.push_back(ns);
                added.push_back(ns);
            }
        }
        if (depth_ == 1) {
            for (const XmlNamespace& ns : inherited_) {
                if (declaredPrefix(inScope, ns.prefix)) continue;
                inScope.push_back(ns);
                added.push_back(ns);
            }
        }
        String prefix = prefixFor(x->uri, x->prefix, inScope, added);
        out.push_back(u'<');
        auto writeName = [&](const String& p, const String& local) {
            if (!p.empty()) {
                out += p.view();
                out.push_back(u':');
            }
            out += local.view();
        };
        writeName(prefix, x->local);
        for (const XmlObject* a : x->attributes) {
            out.push_back(u' ');
            String p = a->uri.empty() ? String() : prefixFor(a->uri, a->prefix, inScope, added);
            writeName(p, a->local);
            out += u"=\"";
            out += xmlEscapeText(a->text.view(), true).view();
            out.push_back(u'"');
        }
        for (const XmlNamespace& ns : added) {
            out += u" xmlns";
            if (!ns.prefix.empty()) {
                out.push_back(u':');
                out += ns.prefix.view();
            }
            out += u"=\"";
            out += xmlEscapeText(ns.uri.view(), true).view();
            out.push_back(u'"');
        }
        if (x->children.empty()) {
            out += u"/>";
            inScope.resize(scopeMark);
            return;
        }
        out.push_back(u'>');
        bool indentChildren = x->children.size() > 1 || x->children[0]->nodeKind != XmlKind::Text;
        bool pretty = settings_.prettyPrinting && indentChildren;
        int next = pretty ? indent + settings_.prettyIndent : 0;
        for (const XmlObject* child : x->children) {
            if (pretty) out.push_back(u'\n');
            node(child, inScope, next, out);
        }
        if (pretty) {
            out.push_back(u'\n');
            out.append(std::size_t(indent), u' ');
        }
        out += u"</";
        writeName(prefix, x->local);
        out.push_back(u'>');
        inScope.resize(scopeMark);
    }

    Vm& vm_;
    const XmlSettings& settings_;
    std::vector<XmlNamespace> inherited_;
    std::size_t depth_ = 0;
};

// Only a namespace the script made (x.ns::name, x.none::*) selects names by
// its URI, the empty one included; the namespaces of packages and classes a
// name is compiled in leave it unqualified.
bool selectsUri(const Namespace& ns) { return ns.kind == NamespaceKind::Namespace && !(ns.uri == kAs3Namespace); }

}  // namespace

XmlSettings& xmlSettings(Vm& vm) { return state(vm).settings; }
XmlClasses& xmlClasses(Vm& vm) { return state(vm).classes; }

XmlObject* newXmlNode(Vm& vm, XmlKind kind) {
    Class* c = xmlClasses(vm).xml;
    XmlObject* x = vm.make<XmlObject>(ObjectKind::Xml, &c->instanceTraits, c, c->prototype);
    x->nodeKind = kind;
    return x;
}

XmlObject* xmlTextNode(Vm& vm, String text) {
    XmlObject* t = newXmlNode(vm, XmlKind::Text);
    t->text = std::move(text);
    return t;
}

XmlListObject* newXmlList(Vm& vm, std::vector<XmlObject*> items, XmlObject* target,
                          std::optional<XmlName> targetName) {
    Class* c = xmlClasses(vm).list;
    vm.charge(items.size() * sizeof(void*));
    XmlListObject* l = vm.make<XmlListObject>(ObjectKind::XmlList, &c->instanceTraits, c, c->prototype);
    l->items = std::move(items);
    l->target = target;
    l->targetName = std::move(targetName);
    return l;
}

QNameObject* newQName(Vm& vm, String uri, String local) {
    Class* c = xmlClasses(vm).qname;
    QNameObject* q = vm.make<QNameObject>(ObjectKind::QName, &c->instanceTraits, c, c->prototype);
    q->uri = std::move(uri);
    q->anyName = local == u"*";
    q->local = std::move(local);
    return q;
}

bool XmlName::matches(const XmlObject* node) const {
    bool isAttribute = node->nodeKind == XmlKind::Attribute;
    if (isAttribute != attribute) return false;
    if (anyName && anyUri) return true;
    if (!attribute && node->nodeKind != XmlKind::Element) return false;
    if (!anyName && !(node->local == local)) return false;
    return anyUri || node->uri == uri;
}

XmlName xmlNameOfValue(Vm& vm, const Value& v, bool attribute) {
    XmlName n;
    n.attribute = attribute;
    if (Object* o = v.object(); o && o->kind == ObjectKind::QName) {
        auto* q = static_cast<QNameObject*>(o);
        n.uri = q->uri;
        n.local = q->local;
        n.anyUri = q->anyUri;
        n.anyName = q->anyName;
        n.attribute = attribute || q->attribute;
        return n;
    }
    String s = vm.toString(v);
    std::u16string_view text = s.view();
    if (!text.empty() && text[0] == u'@') {
        n.attribute = true;
        text.remove_prefix(1);
    }
    n.local = String(text);
    n.anyName = text == u"*";
    n.anyUri = n.anyName;
    if (!n.attribute && !n.anyName) n.uri = vm.defaultXmlNamespace();
    return n;
}

XmlName xmlNameOf(Vm& vm, const Multiname& m) {
    if (m.runtimeKey.object() && m.runtimeKey.object()->kind == ObjectKind::QName) {
        XmlName n = xmlNameOfValue(vm, m.runtimeKey);
        n.attribute = n.attribute || m.attribute;
        return n;
    }
    XmlName n;
    n.attribute = m.attribute;
    std::u16string_view text = m.name.view();
    if (!m.attribute && !text.empty() && text[0] == u'@' && !m.runtimeKey.isUndefined()) {
        n.attribute = true;
        text.remove_prefix(1);
    }
    n.local = String(text);
    n.anyName = m.anyName || text == u"*";
    if (m.namespaces.empty() || m.anyNamespace) {
        n.anyUri = true;
    } else if (m.namespaces.size() == 1 && selectsUri(m.namespaces[0])) {
        n.uri = m.namespaces[0].uri;
    } else if (n.anyName) {
        n.anyUri = true;
    } else if (!n.attribute) {
        // An unqualified name: elements take the default namespace, attributes none.
        n.uri = vm.defaultXmlNamespace();
    }
    return n;
}

namespace {

// The entity a character stands as in element text or an attribute value;
// null for one that stands as itself.
const char16_t* xmlEntity(char16_t c, bool attribute) {
    switch (c) {
    case u'&': return u"&amp;";
    case u'<': return u"&lt;";
    case u'>': return attribute ? nullptr : u"&gt;";
    case u'"': return attribute ? u"&quot;" : nullptr;
    case u'\n': return attribute ? u"&#xA;" : nullptr;
    case u'\r': return attribute ? u"&#xD;" : nullptr;
    case u'\t': return attribute ? u"&#x9;" : nullptr;
    default: return nullptr;
    }
}

}  // namespace

String xmlEscapeText(std::u16string_view text, bool attribute) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (const char16_t* entity = xmlEntity(c, attribute)) out += entity;
        else out.push_back(c);
    }
    return String(out);
}

String xmlEscape(Vm& vm, const Value& v, bool attribute) {
    if (Object* o = v.object()) {
        if (o->kind == ObjectKind::Xml) return xmlToXmlString(vm, static_cast<XmlObject*>(o));
        if (o->kind == ObjectKind::XmlList) return xmlListToXmlString(vm, static_cast<XmlListObject*>(o));
    }
    return xmlEscapeText(vm.toString(v).view(), attribute);
}

String xmlToXmlString(Vm& vm, const XmlObject* node) {
    std::vector<XmlNamespace> inherited;
    for (const XmlObject* p = node->parent; p; p = p->parent)
        for (const XmlNamespace& ns : p->declarations) inherited.push_back(ns);
    std::vector<XmlNamespace> inScope;
    std::u16string out;
    Writer(vm, std::move(inherited)).node(node, inScope, 0, out);
    return String(out);
}

String xmlListToXmlString(Vm& vm, const XmlListObject* list) {
    std::u16string out;
    for (std::size_t i = 0; i < list->items.size(); ++i) {
        if (i) out.push_back(u'\n');
        out += xmlToXmlString(vm, list->items[i]).view();
    }
    return String(out);
}

bool xmlHasSimpleContent(const XmlObject* node) {
    if (node->nodeKind == XmlKind::Comment || node->nodeKind == XmlKind::Instruction) return false;
    for (const XmlObject* c : node->children)
        if (c->nodeKind == XmlKind::Element) return false;
    return true;
}

bool xmlListHasSimpleContent(const XmlListObject* list) {
    if (list->items.size() == 1) return xmlHasSimpleContent(list->items[0]);
    for (const XmlObject* x : list->items)
        if (x->nodeKind == XmlKind::Element) return false;
    return true;
}

String xmlToString(Vm& vm, const XmlObject* node) {
    if (node->nodeKind == XmlKind::Text || node->nodeKind == XmlKind::Attribute) return node->text;
    if (node->nodeKind != XmlKind::Element || !xmlHasSimpleContent(node)) return xmlToXmlString(vm, node);
    std::u16string out;
    for (const XmlObject* c : node->children)
        if (c->nodeKind == XmlKind::Text) out += c->text.view();
    return String(out);
}

String xmlListToString(Vm& vm, const XmlListObject* list) {
    if (!xmlListHasSimpleContent(list)) return xmlListToXmlString(vm, list);
    std::u16string out;
    for (const XmlObject* x : list->items)
        if (x->nodeKind != XmlKind::Comment && x->nodeKind != XmlKind::Instruction) out += xmlToString(vm, x).view();
    return String(out);
}

XmlObject* xmlDeepCopy(Vm& vm, const XmlObject* node, XmlObject* parent) { return deepCopy(vm, node, parent, 0); }

bool xmlEqual(Vm& vm, const XmlObject* a, const XmlObject* b) { return equalTrees(vm, a, b, 0); }

bool isXmlValue(const Value& v) {
    Object* o = v.object();
    return o && (o->kind == ObjectKind::Xml || o->kind == ObjectKind::XmlList);
}

Value xmlAdd(Vm& vm, const Value& a, const Value& b) {
    XmlListObject* l = newXmlList(vm);
    for (const Value* v : {&a, &b}) {
        Object* o = v->object();
        if (o->kind == ObjectKind::Xml) l->items.push_back(static_cast<XmlObject*>(o));
        else
            for (XmlObject* x : static_cast<XmlListObject*>(o)->items) l->items.push_back(x);
    }
    return Value(static_cast<Object*>(l));
}

bool xmlEquals(Vm& vm, const Value& a, const Value& b) {
    auto single = [](const Value& v) -> XmlObject* {
        Object* o = v.object();
        if (!o) return nullptr;
        if (o->kind == ObjectKind::Xml) return static_cast<XmlObject*>(o);
        if (o->kind == ObjectKind::XmlList && static_cast<XmlListObject*>(o)->items.size() == 1)
            return static_cast<XmlListObject*>(o)->items[0];
        return nullptr;
    };
    Object* ao = a.object();
    Object* bo = b.object();
    if (ao && bo && ao->kind == ObjectKind::XmlList && bo->kind == ObjectKind::XmlList) {
        auto& x = static_cast<XmlListObject*>(ao)->items;
        auto& y = static_cast<XmlListObject*>(bo)->items;
        if (x.size() != y.size()) return false;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!xmlEqual(vm, x[i], y[i])) return false;
        return true;
    }
    if (ao && ao->kind == ObjectKind::XmlList && static_cast<XmlListObject*>(ao)->items.empty())
        return b.isUndefined();
    if (bo && bo->kind == ObjectKind::XmlList && static_cast<XmlListObject*>(bo)->items.empty())
        return a.isUndefined();
    XmlObject* x = single(a);
    XmlObject* y = single(b);
    if (x && y) {
        if (x->nodeKind == XmlKind::Element && y->nodeKind == XmlKind::Element) return xmlEqual(vm, x, y);
        if (xmlHasSimpleContent(x) && xmlHasSimpleContent(y)) return xmlToString(vm, x) == xmlToString(vm, y);
        return xmlEqual(vm, x, y);
    }
    XmlObject* node = x ? x : y;
    const Value& other = x ? b : a;
    if (!node || other.isNullish()) return false;
    if (other.isObject() && !isXmlValue(other)) return vm.equals(Value(xmlToString(vm, node)), vm.toPrimitive(other, false));
    if (!xmlHasSimpleContent(node)) return false;
    return vm.equals(Value(xmlToString(vm, node)), other);
}

}  // namespace kinolux::avm2
