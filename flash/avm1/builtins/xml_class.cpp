// XML: a document node that parses and loads its text.
#include "flash/avm1/builtins/xml_node.h"

namespace kinolux::avm1::builtins {

namespace {

#define NODE_OR_RETURN(value)             \
    XmlNode* self = asNode(thisValue);    \
    if (!self) return value

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
    bool ignoreWhite = vm.toBoolean(vm.get(holder, String(u"ignoreWhite")));
    const script::XmlDocumentText parsed = parseXmlText(vm, Ref<XmlNode>(&document), text.view(), ignoreWhite);
    Value idMap = vm.get(holder, String(u"idMap"));
    if (idMap.isObject()) indexIds(vm, document, idMap.objectRef());
    vm.set(holder, String(u"status"), Value(parsed.status));
    if (parsed.sawDecl) vm.set(holder, String(u"xmlDecl"), Value(String(parsed.xmlDecl)));
    if (parsed.sawDocType) vm.set(holder, String(u"docTypeDecl"), Value(String(parsed.docType)));
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


#undef NODE_OR_RETURN

constexpr Member kXmlMembers[] = {
    method(u"createElement", createElement),
    method(u"createTextNode", createTextNode),
    method(u"parseXML", parseXml),
    method(u"load", xmlLoad),
    method(u"sendAndLoad", xmlLoad),
    method(u"send", nothing),
    method(u"onData", xmlOnData),
    method(u"getBytesLoaded", zero),
    method(u"getBytesTotal", zero),
    method(u"addRequestHeader", nothing),
};

}  // namespace

void installXml(Vm& vm) {
    installXmlNode(vm);
    ObjectRef xmlProto = vm.heap().make<Object>(Value(vm.protos().xmlNode));
    vm.protos().xml = xmlProto;
    defineClass(vm, *vm.global(), {u"XML", xmlConstruct, xmlConstruct, kXmlMembers}, xmlProto);
    xmlProto->defineValue(u"ignoreWhite", Value(false), PropertyFlag::DontEnum);
    xmlProto->defineValue(u"contentType", Value(String(u"application/x-www-form-urlencoded")), PropertyFlag::DontEnum);
}

}  // namespace kinolux::avm1::builtins
