// XML and XMLList: parsing, selection by E4X names, changes to trees and
// their text form.
#include "flash/avm2/builtins/xml.h"
#include "tests/avm2/builtins_fixture.h"

using namespace avm2test;

namespace {

class Xml : public Builtins {
protected:
    Value xml(const char16_t* markup) { return make(u"XML", {Value(String(markup))}); }
    Value get(const Value& target, const char16_t* name, bool attribute = false) {
        Multiname m = Multiname::publicName(String(name));
        m.attribute = attribute;
        return vm().getProperty(target, m);
    }
};

}  // namespace

TEST_F(Xml, ParsesAndPrintsPrettily) {
    Value x = xml(u"<a x=\"1&amp;2\"><!-- dropped --><b>one</b>  <b>two</b><c/></a>");
    EXPECT_EQ(text(call(x, u"toXMLString")), "<a x=\"1&amp;2\">\n  <b>one</b>\n  <b>two</b>\n  <c/>\n</a>");
    vm().setPublic(global(u"XML"), u"prettyPrinting", Value(false));
    EXPECT_EQ(text(call(x, u"toXMLString")), "<a x=\"1&amp;2\"><b>one</b><b>two</b><c/></a>");
    EXPECT_EQ(text(xml(u"<t>  padded &lt;text&gt; </t>")), "padded <text>");
    EXPECT_EQ(vm().typeOf(x).toUtf8(), "xml");
}

TEST_F(Xml, SelectsChildrenAttributesAndDescendants) {
    Value x = xml(u"<a id=\"7\"><b>one</b><c><b>deep</b></c><b>two</b></a>");
    Value bs = get(x, u"b");
    EXPECT_EQ(text(call(bs, u"length")), "2");
    EXPECT_EQ(text(get(bs, u"1")), "two");
    EXPECT_EQ(text(get(x, u"id", true)), "7");
    EXPECT_EQ(text(call(get(x, u"missing"), u"length")), "0");
    Multiname all = Multiname::publicName(String(u"b"));
    Value found;
    const auto* hooks = kinolux::avm2::hooksOf(x.object());
    ASSERT_TRUE(hooks && hooks->descendants(vm(), x.object(), all, found));
    EXPECT_EQ(text(call(found, u"length")), "3");
    EXPECT_EQ(text(get(found, u"1")), "deep");
    EXPECT_EQ(text(call(call(x, u"children"), u"length")), "3");
    EXPECT_EQ(text(call(get(get(x, u"c"), u"0"), u"childIndex")), "1");
    EXPECT_EQ(text(call(x, u"name")), "a");
    EXPECT_EQ(text(call(get(x, u"id", true), u"nodeKind")), "attribute");
}

TEST_F(Xml, ChangesTheTreeInPlace) {
    vm().setPublic(global(u"XML"), u"prettyPrinting", Value(false));
    Value x = xml(u"<a><b>one</b></a>");
    vm().setPublic(x, u"b", Value(String(u"uno")));
    vm().setPublic(x, u"c", Value(3));
    Multiname attr = Multiname::publicName(String(u"k"));
    attr.attribute = true;
    vm().setProperty(x, attr, Value(String(u"v\"")));
    EXPECT_EQ(text(call(x, u"toXMLString")), "<a k=\"v&quot;\"><b>uno</b><c>3</c></a>");
    Value b = get(get(x, u"b"), u"0");
    call(x, u"appendChild", {xml(u"<d/>")});
    call(x, u"insertChildAfter", {b, xml(u"<e/>")});
    EXPECT_EQ(text(call(x, u"toXMLString")), "<a k=\"v&quot;\"><b>uno</b><e/><c>3</c><d/></a>");
    vm().deleteProperty(x, Multiname::publicName(String(u"c")));
    call(x, u"replace", {Value(0), xml(u"<z>last</z>")});
    EXPECT_EQ(text(call(x, u"toXMLString")), "<a k=\"v&quot;\"><z>last</z><e/><d/></a>");
    EXPECT_NE(thrown([&] { call(x, u"appendChild", {x}); }).find("Error #1118"), std::string::npos);
    EXPECT_NE(thrown([&] { vm().setPublic(x, u"0", Value(1)); }).find("Error #1087"), std::string::npos);
}

TEST_F(Xml, NamespacesQualifyNamesAndComeBackWhenPrinted) {
    vm().setPublic(global(u"XML"), u"prettyPrinting", Value(false));
    Value x = xml(u"<r xmlns:p=\"urn:p\"><p:i>1</p:i><i>2</i></r>");
    EXPECT_EQ(text(get(x, u"i")), "2");
    Value qualified = make(u"QName", {Value(String(u"urn:p")), Value(String(u"i"))});
    EXPECT_EQ(text(call(x, u"child", {qualified})), "1");
    Value inner = get(call(x, u"child", {qualified}), u"0");
    EXPECT_EQ(text(call(inner, u"toXMLString")), "<p:i xmlns:p=\"urn:p\">1</p:i>");
    EXPECT_EQ(text(call(inner, u"name")), "urn:p::i");
    EXPECT_NE(thrown([&] { xml(u"<q:x/>"); }).find("Error #1083"), std::string::npos);
}

TEST_F(Xml, MalformedMarkupIsATypeError) {
    EXPECT_NE(thrown([&] { xml(u"<a><b></a>"); }).find("TypeError: Error #1085"), std::string::npos);
    EXPECT_NE(thrown([&] { xml(u"<a/><b/>"); }).find("Error #1088"), std::string::npos);
    EXPECT_NE(thrown([&] { xml(u"<a><![CDATA[x</a>"); }).find("Error #1091"), std::string::npos);
    EXPECT_NE(thrown([&] { xml(u"<a b=\"1\" b=\"2\"/>"); }).find("Error #1104"), std::string::npos);
}

TEST_F(Xml, DeepTreesEndInAnErrorNotACrash) {
    std::u16string deep;
    for (int i = 0; i < 50000; ++i) deep += u"<a>";
    EXPECT_NE(thrown([&] { xml(deep.c_str()); }).find("Error #1023"), std::string::npos);
}

TEST_F(Xml, ComparesByContent) {
    EXPECT_TRUE(vm().equals(xml(u"<a><b>1</b></a>"), xml(u"<a><b>1</b></a>")));
    EXPECT_FALSE(vm().equals(xml(u"<a><b>1</b></a>"), xml(u"<a><b>2</b></a>")));
    EXPECT_TRUE(vm().equals(xml(u"<a>5</a>"), Value(5)));
    Value both = vm().add(xml(u"<a/>"), xml(u"<b/>"));
    EXPECT_EQ(text(call(both, u"length")), "2");
}

TEST_F(Builtins, XmlDocumentReadsTheLegacyDomAndKeepsItsChildNodesUpToDate) {
    Value doc = make(u"flash.xml.XMLDocument",
                     {Value(String(u"<?xml version=\"1.0\"?><r a=\"1\" b=\"&lt;\"><x>one</x><y/>tail</r>"))});
    EXPECT_EQ(text(doc), "<?xml version=\"1.0\"?><r a=\"1\" b=\"&lt;\"><x>one</x><y />tail</r>");
    Value root = vm().getPublic(doc, u"firstChild");
    Value children = vm().getPublic(root, u"childNodes");
    EXPECT_EQ(text(vm().getPublic(children, u"length")), "3");
    Value x = vm().getPublic(root, u"firstChild");
    EXPECT_EQ(text(vm().getPublic(vm().getPublic(x, u"nextSibling"), u"nodeName")), "y");
    EXPECT_EQ(text(vm().getPublic(vm().getPublic(root, u"lastChild"), u"nodeType")), "3");
    EXPECT_EQ(text(vm().getPublic(vm().getPublic(root, u"attributes"), u"b")), "<");

    Value deep = call(x, u"cloneNode", {Value(true)});
    Value shallow = call(x, u"cloneNode", {Value(false)});
    EXPECT_EQ(text(deep), "<x>one</x>");
    EXPECT_EQ(text(shallow), "<x />");
    EXPECT_EQ(vm().getPublic(deep, u"parentNode").isNull(), true) << "a clone stands alone";

    call(x, u"removeNode");
    EXPECT_EQ(text(vm().getPublic(children, u"length")), "2") << "the array the script holds follows the tree";
    EXPECT_TRUE(vm().getPublic(x, u"parentNode").isNull());
    EXPECT_TRUE(vm().getPublic(x, u"nextSibling").isNull());
    call(root, u"insertBefore", {x, vm().getPublic(root, u"lastChild")});
    EXPECT_EQ(text(root), "<r a=\"1\" b=\"&lt;\"><y /><x>one</x>tail</r>");
    call(x, u"appendChild", {root});
    EXPECT_EQ(text(root), "<r a=\"1\" b=\"&lt;\"><y /><x>one</x>tail</r>") << "a node never goes inside itself";

    Value white = make(u"flash.xml.XMLDocument");
    vm().setPublic(white, u"ignoreWhite", Value(true));
    call(white, u"parseXML", {Value(String(u"<a> <b/> </a><c>"))});
    EXPECT_EQ(text(white), "<a><b /></a><c />") << "what was read before the fault stays";
    EXPECT_EQ(text(vm().getPublic(global(u"flash.xml.XMLNodeType"), u"TEXT_NODE")), "3");

    std::u16string nested;
    for (int i = 0; i < 5000; ++i) nested += u"<a>";
    Value deepDoc = make(u"flash.xml.XMLDocument", {Value(String(nested))});
    EXPECT_NE(thrown([&] { call(deepDoc, u"toString"); }).find("Error #1023"), std::string::npos)
        << "a tree too deep to walk stops with an error, not a crash";
    EXPECT_NE(thrown([&] { call(deepDoc, u"cloneNode", {Value(true)}); }).find("Error #1023"), std::string::npos);
}

TEST_F(Xml, NamesMustBeXmlNames) {
    using kinolux::avm2::isXmlNameText;
    EXPECT_TRUE(isXmlNameText(u"_a1.b-c"));
    EXPECT_TRUE(isXmlNameText(u"\u00E9t\u00E9"));
    EXPECT_FALSE(isXmlNameText(u""));
    EXPECT_FALSE(isXmlNameText(u"1a"));
    EXPECT_FALSE(isXmlNameText(u"a\u00D7b"));  // the multiplication sign is no letter
    EXPECT_FALSE(isXmlNameText(u"p:a"));
    Value x = xml(u"<a/>");
    for (const char16_t* bad : {u"@x", u"*", u"x=5", u"123", u""})
        EXPECT_NE(thrown([&] { call(x, u"setLocalName", {Value(String(bad))}); }).find("Error #1117"), std::string::npos);
    call(x, u"setLocalName", {Value(String(u"b"))});
    EXPECT_EQ(text(call(x, u"localName")), "b");
    EXPECT_NE(thrown([&] { xml(u"<::/>"); }).find("Error #1084"), std::string::npos);
    EXPECT_NE(thrown([&] { make(u"Namespace", {Value(String(u"p")), Value(String())}); }).find("Error #1098"),
              std::string::npos);
    // A third argument is ignored.
    Value ns = make(u"Namespace", {Value(String(u"p")), Value(String(u"urn:u")), Value(String(u"extra"))});
    EXPECT_EQ(text(ns), "urn:u");
}

TEST_F(Xml, ADocumentKeepsOnlyItsElement) {
    vm().setPublic(global(u"XML"), u"ignoreComments", Value(false));
    vm().setPublic(global(u"XML"), u"ignoreProcessingInstructions", Value(false));
    EXPECT_EQ(text(call(xml(u"<!-- c --><a/>  <?pi x?>"), u"toXMLString")), "<a/>");
    EXPECT_EQ(text(call(xml(u"<![CDATA[t]]><a/>"), u"toXMLString")), "<a/>");
    EXPECT_EQ(text(call(xml(u"<?pi x?>"), u"toXMLString")), "<?pi x?>");
    EXPECT_NE(thrown([&] { xml(u"<?pi x?><!-- c -->"); }).find("Error #1088"), std::string::npos);
    // An end tag is read as far as its name.
    EXPECT_EQ(text(call(xml(u"<a></a junk=\"1\">"), u"toXMLString")), "<a/>");
    EXPECT_NE(thrown([&] { xml(u"<a></b >"); }).find("Error #1085"), std::string::npos);
    // A copy leaves out what the settings now ignore.
    Value withPi = xml(u"<a><?pi x?><b/></a>");
    vm().setPublic(global(u"XML"), u"ignoreProcessingInstructions", Value(true));
    vm().setPublic(global(u"XML"), u"prettyPrinting", Value(false));
    EXPECT_EQ(text(call(make(u"XML", {withPi}), u"toXMLString")), "<a><b/></a>");
}

TEST_F(Xml, ListAssignmentsChangeTheTree) {
    vm().setPublic(global(u"XML"), u"prettyPrinting", Value(false));
    Value list = make(u"XMLList", {Value(String(u"<a>1</a><b>2</b>"))});
    vm().setPublic(list, u"0", xml(u"<c>3</c>"));
    EXPECT_EQ(text(call(list, u"toXMLString")), "<c>3</c>\n<b>2</b>");
    vm().setPublic(list, u"0", Value(String(u"five")));
    EXPECT_EQ(text(call(list, u"toXMLString")), "<c>five</c>\n<b>2</b>");
    vm().setPublic(list, u"1", vm().add(xml(u"<d/>"), xml(u"<e/>")));
    EXPECT_EQ(text(call(list, u"toXMLString")), "<c>five</c>\n<d/>\n<e/>");

    Value root = xml(u"<r><i>1</i><z/></r>");
    Value items = get(root, u"i");
    vm().setPublic(items, u"1", Value(2));
    EXPECT_EQ(text(call(root, u"toXMLString")), "<r><i>1</i><i>2</i><z/></r>");
    // x.a.b = v makes the <a> it lacks.
    vm().setPublic(get(root, u"a"), u"b", Value(String(u"new")));
    EXPECT_EQ(text(call(root, u"toXMLString")), "<r><i>1</i><i>2</i><z/><a><b>new</b></a></r>");
}

TEST_F(Xml, NamespacesAreDeclaredByPrefix) {
    vm().setPublic(global(u"XML"), u"prettyPrinting", Value(false));
    Value x = xml(u"<ns2:x xmlns:ns2=\"foo\"><b>t</b></ns2:x>");
    call(x, u"addNamespace", {make(u"Namespace", {Value(String(u"ns2")), Value(String(u"newuri"))})});
    EXPECT_EQ(text(call(x, u"toXMLString")), "<x xmlns:ns2=\"newuri\" xmlns=\"foo\"><b>t</b></x>");
    // A namespace without a prefix declares nothing.
    call(x, u"addNamespace", {Value(String(u"urn:none"))});
    EXPECT_EQ(text(call(call(x, u"namespaceDeclarations"), u"toString")), "newuri");
    EXPECT_NE(thrown([&] { call(x, u"addNamespace"); }).find("Error #1063: Argument count mismatch on XML/addNamespace()"),
              std::string::npos);
    EXPECT_NE(thrown([&] { call(x, u"attribute", {Value::null()}); }).find("TypeError"), std::string::npos);
}

TEST_F(Xml, NamesAndNamespacesEnumerateTheirFields) {
    Value q = make(u"QName", {Value(String(u"urn:u")), Value(String(u"n"))});
    const auto* hooks = kinolux::avm2::hooksOf(q.object());
    ASSERT_NE(hooks, nullptr);
    std::vector<std::string> names, values;
    for (std::uint32_t i = hooks->nextIndex(vm(), q.object(), 0); i; i = hooks->nextIndex(vm(), q.object(), i)) {
        names.push_back(text(hooks->nextName(vm(), q.object(), i)));
        values.push_back(text(hooks->nextValue(vm(), q.object(), i)));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"uri", "localName"}));
    EXPECT_EQ(values, (std::vector<std::string>{"n", "urn:u"}));
    Value ns = make(u"Namespace", {Value(String(u"p")), Value(String(u"urn:u"))});
    EXPECT_EQ(text(call(ns, u"propertyIsEnumerable", {Value(String(u"prefix"))})), "true");
    EXPECT_EQ(text(call(ns, u"propertyIsEnumerable", {Value(String(u"other"))})), "false");

    // A list shows its indices, then what scripts added to its prototype.
    vm().setPublic(vm().getPublic(global(u"XMLList"), u"prototype"), u"extra", Value(1));
    Value list = make(u"XMLList", {Value(String(u"<a/><b/>"))});
    const auto* listHooks = kinolux::avm2::hooksOf(list.object());
    std::vector<std::string> keys;
    for (std::uint32_t i = listHooks->nextIndex(vm(), list.object(), 0); i; i = listHooks->nextIndex(vm(), list.object(), i))
        keys.push_back(text(listHooks->nextName(vm(), list.object(), i)));
    EXPECT_EQ(keys, (std::vector<std::string>{"0", "1", "extra"}));
    EXPECT_TRUE(listHooks->nextName(vm(), list.object(), 99).isNull());
}

namespace {
std::vector<std::string> heard;
Value listen(kinolux::avm2::Vm& vm, const Value&, std::span<const Value> args) {
    heard.push_back(vm.toString(args[1]).toUtf8() + " " + vm.toString(args[3]).toUtf8() + " " +
                    vm.toString(args[4]).toUtf8());
    return Value();
}
}  // namespace

TEST_F(Xml, NotificationsBubbleFromTheChangedNode) {
    heard.clear();
    Value x = xml(u"<r><c/></r>");
    Value f(static_cast<kinolux::avm2::Object*>(vm().newNativeFunction(listen, String(u"listen"))));
    call(x, u"setNotification", {f});
    Value c = get(get(x, u"c"), u"0");
    call(c, u"setNotification", {f});
    Multiname attr = Multiname::publicName(String(u"k"));
    attr.attribute = true;
    vm().setProperty(c, attr, Value(String(u"1")));
    vm().setProperty(c, attr, Value(String(u"2")));
    call(x, u"setLocalName", {Value(String(u"root"))});
    EXPECT_EQ(heard, (std::vector<std::string>{"attributeAdded k 1", "attributeAdded k 1", "attributeChanged k 1",
                                               "attributeChanged k 1", "nameSet root r"}));
}

class XmlDocument : public Xml {
protected:
    Value doc(const char16_t* markup) { return make(u"flash.xml.XMLDocument", {Value(String(markup))}); }
};

TEST_F(XmlDocument, ParsesWritesAndEditsTheTree) {
    Value d = doc(u"<p><a x=\"1&amp;\">t</a><b/></p>");
    EXPECT_EQ(text(d), "<p><a x=\"1&amp;\">t</a><b /></p>");
    Value p = vm().getPublic(d, u"firstChild");
    Value a = vm().getPublic(p, u"firstChild");
    Value kids = vm().getPublic(p, u"childNodes");
    EXPECT_EQ(text(vm().getPublic(a, u"nextSibling")), "<b />");
    EXPECT_EQ(text(call(a, u"cloneNode", {Value(false)})), "<a x=\"1&amp;\" />");
    Value deep = call(a, u"cloneNode", {Value(true)});
    EXPECT_TRUE(vm().getPublic(deep, u"parentNode").isNull());
    call(a, u"removeNode");
    EXPECT_EQ(text(d), "<p><b /></p>");
    EXPECT_TRUE(vm().getPublic(a, u"parentNode").isNull());
    EXPECT_EQ(text(vm().getPublic(kids, u"length")), "1");
    call(p, u"appendChild", {deep});
    EXPECT_EQ(text(d), "<p><b /><a x=\"1&amp;\">t</a></p>");
    // A node never goes inside its own child: the tree stays a tree.
    call(deep, u"appendChild", {p});
    EXPECT_EQ(text(d), "<p><b /><a x=\"1&amp;\">t</a></p>");
}

TEST_F(XmlDocument, IgnoreWhiteDropsBlankTextButNotCdata) {
    Value d = make(u"flash.xml.XMLDocument");
    vm().setPublic(d, u"ignoreWhite", Value(true));
    call(d, u"parseXML", {Value(String(u"<o><a> \t</a><b><![CDATA[\t]]></b></o>"))});
    EXPECT_EQ(text(d), "<o><a /><b>\t</b></o>");
}

TEST_F(Xml, OlderMoviesKeepTheOlderBehaviour) {
    vm().setPublic(global(u"XML"), u"prettyPrinting", Value(false));
    Value x = xml(u"<e><a>1</a></e>");
    call(x, u"replace", {Value(String(u"*")), Value(String(u"<p>2</p>"))});
    EXPECT_EQ(text(call(x, u"toXMLString")), "<e>&lt;p&gt;2&lt;/p&gt;</e>");
    vm().setSwfVersion(9);
    call(x, u"replace", {Value(String(u"*")), Value(String(u"<p>2</p>"))});
    EXPECT_EQ(text(call(x, u"toXMLString")), "<e><p>2</p></e>");

    // Before SWF 21 a node appended elsewhere stays where it was too.
    Value r = xml(u"<r><a/></r>");
    call(r, u"appendChild", {get(get(r, u"a"), u"0")});
    EXPECT_EQ(text(call(r, u"toXMLString")), "<r><a/><a/></r>");
    vm().setSwfVersion(21);
    Value moved = xml(u"<r><a/><b/></r>");
    call(moved, u"appendChild", {get(get(moved, u"a"), u"0")});
    EXPECT_EQ(text(call(moved, u"toXMLString")), "<r><b/><a/></r>");
}
