// XML, XMLList and QName: the trees E4X works on, their text form and the
// names that select nodes. XML nodes are script objects: a child taken from
// a tree is the same node, so changing it changes the tree.
#pragma once

#include <optional>
#include <vector>

#include "flash/avm2/builtins/native.h"
#include "flash/avm2/vm.h"

namespace kinolux::avm2 {

// How deep a tree the XML code walks before it gives up with the player's
// stack overflow error: the walks recurse on the native stack.
inline constexpr std::size_t kMaxXmlDepth = 1024;

inline void checkXmlDepth(Vm& vm, std::size_t depth) {
    if (depth > kMaxXmlDepth) throwStackOverflow(vm);
}

enum class XmlKind : std::uint8_t { Element, Text, Comment, Instruction, Attribute };

struct XmlNamespace {
    String prefix;
    String uri;
    bool hasPrefix = true;  // a namespace made from a URI alone has none yet
};

class XmlObject : public Object {
public:
    using Object::Object;
    XmlKind nodeKind = XmlKind::Element;
    String uri;    // elements and attributes: the name's namespace
    String local;  // elements, attributes and instructions: the local name
    String prefix;
    String text;  // text, comments, instructions and attribute values
    bool cdata = false;
    std::vector<XmlNamespace> declarations;  // the namespaces declared on this element
    std::vector<XmlObject*> attributes;
    std::vector<XmlObject*> children;
    XmlObject* parent = nullptr;
    Value notification;  // the function setNotification gave it
};

// A name nodes are selected by.
struct XmlName {
    String uri;
    String local;
    bool anyUri = false;
    bool anyName = false;
    bool attribute = false;
    bool matches(const XmlObject* node) const;
};

// A selection of nodes and, for assignments to it, where it came from:
// the node whose children (or attributes) it selected, and by what name.
class XmlListObject : public Object {
public:
    using Object::Object;
    std::vector<XmlObject*> items;
    XmlObject* target = nullptr;
    std::optional<XmlName> targetName;
};

class QNameObject : public Object {
public:
    using Object::Object;
    String uri;
    String local;
    bool anyUri = false;   // QName(null, "x")
    bool anyName = false;    // "*"
    bool attribute = false;  // the name of an attribute (selects attributes)
};

struct XmlSettings {
    bool ignoreComments = true;
    bool ignoreProcessingInstructions = true;
    bool ignoreWhitespace = true;
    bool prettyPrinting = true;
    int prettyIndent = 2;
};

XmlSettings& xmlSettings(Vm& vm);
XmlObject* newXmlNode(Vm& vm, XmlKind kind);
XmlObject* xmlTextNode(Vm& vm, String text);
XmlListObject* newXmlList(Vm& vm, std::vector<XmlObject*> items = {}, XmlObject* target = nullptr,
                          std::optional<XmlName> targetName = std::nullopt);
QNameObject* newQName(Vm& vm, String uri, String local);

// Parses markup into the children of a new element (the caller's wrapper).
XmlObject* parseXmlFragment(Vm& vm, std::u16string_view markup);
// Value to XML and XMLList as their constructors convert.
XmlObject* toXml(Vm& vm, const Value& v);
XmlListObject* toXmlList(Vm& vm, const Value& v);

// The name a property access asks for.
XmlName xmlNameOf(Vm& vm, const Multiname& m);
XmlName xmlNameOfValue(Vm& vm, const Value& v, bool attribute = false);

String xmlToXmlString(Vm& vm, const XmlObject* node);
String xmlListToXmlString(Vm& vm, const XmlListObject* list);
String xmlToString(Vm& vm, const XmlObject* node);
String xmlListToString(Vm& vm, const XmlListObject* list);
bool xmlHasSimpleContent(const XmlObject* node);
bool xmlListHasSimpleContent(const XmlListObject* list);
XmlObject* xmlDeepCopy(Vm& vm, const XmlObject* node, XmlObject* parent);
bool xmlEqual(Vm& vm, const XmlObject* a, const XmlObject* b);

// Whether text is an XML 1.0 name without a prefix (an NCName).
bool isXmlNameText(std::u16string_view text);
// XML's white space, and text of nothing else.
bool isXmlSpace(char16_t c);
bool isBlankXmlText(std::u16string_view text);
std::u16string_view trimmedXmlText(std::u16string_view text);
// Throws the player's invalid-name error unless `name` is an XML name.
void requireXmlName(Vm& vm, const String& name);

// Text escaped for an element's content or an attribute value (the
// esc_xelem and esc_xattr instructions).
String xmlEscape(Vm& vm, const Value& v, bool attribute);
String xmlEscapeText(std::u16string_view text, bool attribute);

bool isXmlValue(const Value& v);
// a + b and a == b when either side is XML or an XMLList.
Value xmlAdd(Vm& vm, const Value& a, const Value& b);
bool xmlEquals(Vm& vm, const Value& a, const Value& b);

// The nodes of an XML (itself) or an XMLList (its items).
std::vector<XmlObject*> xmlNodesOf(Object* o);
// Appends a node's children (or attributes) that a name selects.
void xmlSelect(XmlObject* x, const XmlName& n, std::vector<XmlObject*>& out);
void xmlReplaceChildren(Vm& vm, XmlObject* x, std::vector<XmlObject*> children);
// Keeps the first child a name selects and takes out the others; its index,
// or -1 when there is none.
std::ptrdiff_t xmlKeepFirstMatch(XmlObject* x, const XmlName& n);
// Takes a node out of its parent.
void xmlDetach(XmlObject* x);
// Tells the notification functions of a changed node and of its ancestors,
// nearest first, what changed.
void xmlNotify(Vm& vm, XmlObject* target, const char16_t* command, const Value& value, const Value& detail);
// The methods of XML.prototype and XMLList.prototype.
void installXmlMethods(Vm& vm, Class* xml, Class* list);

// QName's and Namespace's properties as for-in and propertyIsEnumerable see them.
void installNameFields(Vm& vm, Class* qname, Class* ns);

// The class objects (for instances made outside a constructor).
struct XmlClasses {
    Class* xml = nullptr;
    Class* list = nullptr;
    Class* qname = nullptr;
    Class* domNode = nullptr;  // flash.xml.XMLNode
};
XmlClasses& xmlClasses(Vm& vm);

}  // namespace kinolux::avm2
