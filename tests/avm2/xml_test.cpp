// XML and XMLList: parsing, selection by E4X names, changes to trees and
// their text form.
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
