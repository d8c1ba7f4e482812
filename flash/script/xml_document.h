// The text form of the legacy XML documents both machines have (the XML
// and XMLNode of the older scripts, flash.xml.XMLDocument of the newer):
// the player's lenient reader, with its status codes, and the escaping
// its writer uses. The reader hands what it finds to a builder, so each
// machine makes its own nodes.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kinolux::script {

// The reader's results, as XML.status reports them.
namespace XmlStatus {
constexpr int Ok = 0, CdataUnterminated = -2, DeclarationUnterminated = -3, DoctypeUnterminated = -4,
              CommentUnterminated = -5, ElementMalformed = -6, AttributeUnterminated = -8,
              EndTagMissing = -9, StartTagMissing = -10;
}

// Where the reader puts the document: elements open and close in the order
// of the text, an element that is empty (<a/>) closing at once.
class XmlBuilder {
public:
    virtual ~XmlBuilder() = default;
    // Attributes in the order of the text; of a name given twice, the last,
    // where it stands.
    virtual void openElement(std::u16string_view name, const std::vector<std::pair<std::u16string, std::u16string>>& attributes) = 0;
    virtual void closeElement() = 0;
    virtual void text(std::u16string text) = 0;
};

struct XmlDocumentText {
    int status = XmlStatus::Ok;
    std::u16string xmlDecl, docType;
    bool sawDecl = false, sawDocType = false;
};

// Reads the text into the builder, up to the first fault; white text nodes
// are left out when `ignoreWhite`.
XmlDocumentText readXmlDocument(std::u16string_view text, bool ignoreWhite, XmlBuilder& builder);

// Text with & < > " ' as entities, as the writer puts text and attributes.
std::u16string escapeXml(std::u16string_view text);

}  // namespace kinolux::script
