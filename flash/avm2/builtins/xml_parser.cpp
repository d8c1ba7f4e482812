// Markup to XML nodes, with the E4X settings that drop comments,
// processing instructions and whitespace. The tree's depth is bounded: the
// parser keeps its open elements on a list, but the walks over a finished
// tree recurse.
#include "flash/avm2/builtins/xml.h"

namespace kinolux::avm2 {
namespace {

bool isNameChar(char16_t c) {
    return !(isXmlSpace(c) || c == u'<' || c == u'>' || c == u'/' || c == u'=' || c == u'"' || c == u'\'' ||
             c == u'?' || c == u'!' || c == u'&');
}

class Parser {
public:
    Parser(Vm& vm, std::u16string_view text) : vm_(vm), settings_(xmlSettings(vm)), s_(text) {}

    XmlObject* run() {
        XmlObject* root = newXmlNode(vm_, XmlKind::Element);
        std::vector<XmlObject*> open{root};
        std::vector<std::size_t> declarationCounts;
        while (at_ < s_.size()) {
            XmlObject* current = open.back();
            if (s_[at_] != u'<') {
                text(current);
                continue;
            }
            if (starts(u"<!--")) {
                std::size_t end = s_.find(u"-->", at_ + 4);
                if (end == npos) fail(1094, "XML parser failure: Unterminated comment.");
                if (!settings_.ignoreComments) add(current, leaf(XmlKind::Comment, s_.substr(at_ + 4, end - at_ - 4)));
                at_ = end + 3;
            } else if (starts(u"<![CDATA[")) {
                std::size_t end = s_.find(u"]]>", at_ + 9);
                if (end == npos) fail(1091, "XML parser failure: Unterminated CDATA section.");
                XmlObject* t = leaf(XmlKind::Text, s_.substr(at_ + 9, end - at_ - 9));
                t->cdata = true;
                add(current, t);
                at_ = end + 3;
            } else if (starts(u"<!")) {
                doctype();
            } else if (starts(u"<?")) {
                instruction(current);
            } else if (starts(u"</")) {
                at_ += 2;
                String name = readName();
                if (open.size() == 1) fail(1088, "The markup in the document following the root element must be well-formed.");
                XmlObject* closing = open.back();
                String full = qualified(closing);
                if (!(full == name))
                    fail(1085, "The element type \"" + full.toUtf8() + "\" must be terminated by the matching end-tag \"</" +
                                   full.toUtf8() + ">\".");
                // The player reads nothing more of an end tag than its name.
                std::size_t end = s_.find(u'>', at_);
                if (end == npos) fail(1090, "XML parser failure: element is malformed.");
                at_ = end + 1;
                open.pop_back();
            } else {
                XmlObject* e = element(current, open);
                if (e) {
                    checkXmlDepth(vm_, open.size());
                    open.push_back(e);
                }
            }
        }
        if (open.size() > 1) {
            String full = qualified(open.back());
            fail(1085, "The element type \"" + full.toUtf8() + "\" must be terminated by the matching end-tag \"</" +
                           full.toUtf8() + ">\".");
        }
        return root;
    }

private:
    static constexpr std::size_t npos = std::u16string_view::npos;

    [[noreturn]] void fail(int id, const std::string& message) {
        vm_.throwError(ErrorType::TypeError, "Error #" + std::to_string(id) + ": " + message, id);
    }
    bool starts(std::u16string_view w) const { return s_.substr(at_, w.size()) == w; }
    void skipSpace() {
        while (at_ < s_.size() && isXmlSpace(s_[at_])) ++at_;
    }
    String readName() {
        std::size_t start = at_;
        while (at_ < s_.size() && isNameChar(s_[at_])) ++at_;
        return String(s_.substr(start, at_ - start));
    }
    // An element's or attribute's name: a name, or prefix:name.
    String readQualifiedName() {
        String name = readName();
        std::u16string_view n = name.view();
        std::size_t colon = n.find(u':');
        bool valid = colon == npos ? isXmlNameText(n)
                                   : isXmlNameText(n.substr(0, colon)) && isXmlNameText(n.substr(colon + 1));
        if (!name.empty() && !valid)
            fail(1084, "Element or attribute (\"" + name.toUtf8() +
                           "\") do not match QName production: QName::=(NCName':')?NCName.");
        return name;
    }
    static String qualified(const XmlObject* e) {
        if (e->prefix.empty()) return e->local;
        return String::concat(String::concat(e->prefix, String(u":")), e->local);
    }

    XmlObject* leaf(XmlKind kind, std::u16string_view value) {
        XmlObject* x = newXmlNode(vm_, kind);
        x->text = String(value);
        vm_.charge(value.size() * 2);
        return x;
    }
    void add(XmlObject* parent, XmlObject* child) {
        child->parent = parent;
        parent->children.push_back(child);
    }

    // Text up to the next markup, with its entities replaced.
    void text(XmlObject* parent) {
        std::size_t end = s_.find(u'<', at_);
        if (end == npos) end = s_.size();
        std::u16string value = decode(s_.substr(at_, end - at_));
        at_ = end;
        std::u16string_view kept = settings_.ignoreWhitespace ? trimmedXmlText(value) : value;
        if (kept.empty()) return;
        add(parent, leaf(XmlKind::Text, kept));
    }

    std::u16string decode(std::u16string_view raw) {
        std::u16string out;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != u'&') {
                out.push_back(raw[i]);
                continue;
            }
            std::size_t semi = raw.find(u';', i);
            if (semi == npos) {
                out.push_back(raw[i]);
                continue;
            }
            std::u16string_view entity = raw.substr(i + 1, semi - i - 1);
            if (entity == u"lt") out.push_back(u'<');
            else if (entity == u"gt") out.push_back(u'>');
            else if (entity == u"amp") out.push_back(u'&');
            else if (entity == u"quot") out.push_back(u'"');
            else if (entity == u"apos") out.push_back(u'\'');
            else if (entity.size() > 1 && entity[0] == u'#') {
                std::uint32_t code = 0;
                bool hex = entity[1] == u'x' || entity[1] == u'X';
                for (std::size_t k = hex ? 2 : 1; k < entity.size(); ++k) {
                    char16_t c = entity[k];
                    int d = c >= u'0' && c <= u'9'             ? c - u'0'
                            : hex && c >= u'a' && c <= u'f'    ? c - u'a' + 10
                            : hex && c >= u'A' && c <= u'F'    ? c - u'A' + 10
                                                               : -1;
                    if (d < 0 || code > 0x10FFFF) {
                        code = 0xFFFD;
                        break;
                    }
                    code = code * (hex ? 16 : 10) + std::uint32_t(d);
                }
                if (code > 0x10FFFF) code = 0xFFFD;
                if (code >= 0x10000) {
                    code -= 0x10000;
                    out.push_back(char16_t(0xD800 + (code >> 10)));
                    out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
                } else {
                    out.push_back(char16_t(code));
                }
            } else {
                out.append(raw.substr(i, semi - i + 1));
            }
            i = semi;
        }
        return out;
    }

    void doctype() {
        int depth = 0;
        for (std::size_t i = at_ + 2; i < s_.size(); ++i) {
            if (s_[i] == u'[') ++depth;
            else if (s_[i] == u']') --depth;
            else if (s_[i] == u'>' && depth <= 0) {
                at_ = i + 1;
                return;
            }
        }
        fail(1093, "XML parser failure: Unterminated DOCTYPE declaration.");
    }

    void instruction(XmlObject* parent) {
        std::size_t end = s_.find(u"?>", at_ + 2);
        if (end == npos) fail(1097, "XML parser failure: Unterminated processing instruction.");
        at_ += 2;
        String name = readName();
        std::size_t bodyStart = at_;
        while (bodyStart < end && isXmlSpace(s_[bodyStart])) ++bodyStart;
        std::u16string_view body = s_.substr(bodyStart, end - bodyStart);
        at_ = end + 2;
        if (settings_.ignoreProcessingInstructions || name.view() == u"xml") return;
        XmlObject* pi = leaf(XmlKind::Instruction, body);
        pi->local = name;
        add(parent, pi);
    }

    // An element's start tag; the element when it stays open for children.
    XmlObject* element(XmlObject* parent, const std::vector<XmlObject*>& open) {
        ++at_;
        String name = readQualifiedName();
        if (name.empty()) fail(1090, "XML parser failure: element is malformed.");
        XmlObject* e = newXmlNode(vm_, XmlKind::Element);
        std::vector<std::pair<String, String>> attributes;
        for (;;) {
            skipSpace();
            if (at_ >= s_.size()) fail(1096, "XML parser failure: Unterminated element.");
            if (s_[at_] == u'>' || starts(u"/>")) break;
            String attr = readQualifiedName();
            if (attr.empty()) fail(1090, "XML parser failure: element is malformed.");
            skipSpace();
            if (at_ >= s_.size() || s_[at_] != u'=') fail(1090, "XML parser failure: element is malformed.");
            ++at_;
            skipSpace();
            if (at_ >= s_.size() || (s_[at_] != u'"' && s_[at_] != u'\'')) fail(1090, "XML parser failure: element is malformed.");
            char16_t quote = s_[at_++];
            std::size_t end = s_.find(quote, at_);
            if (end == npos) fail(1095, "XML parser failure: Unterminated attribute.");
            String value(decode(s_.substr(at_, end - at_)));
            at_ = end + 1;
            for (const auto& a : attributes)
                if (a.first == attr)
                    fail(1104, "Attribute \"" + attr.toUtf8() + "\" was already specified for element \"" + name.toUtf8() +
                                   "\".");
            attributes.emplace_back(attr, value);
        }
        bool empty = starts(u"/>");
        at_ += empty ? 2 : 1;
        // Namespace declarations first: the element's own name may use them.
        for (const auto& [attr, value] : attributes) {
            std::u16string_view a = attr.view();
            if (a == u"xmlns") e->declarations.push_back({String(), value, true});
            else if (a.substr(0, 6) == u"xmlns:") e->declarations.push_back({String(a.substr(6)), value, true});
        }
        e->parent = parent;
        splitName(name, e, open, false);
        for (const auto& [attr, value] : attributes) {
            std::u16string_view a = attr.view();
            if (a == u"xmlns" || a.substr(0, 6) == u"xmlns:") continue;
            XmlObject* x = newXmlNode(vm_, XmlKind::Attribute);
            x->text = value;
            x->parent = e;
            splitName(attr, x, open, true);
            for (const XmlObject* other : e->attributes)
                if (other->local == x->local && other->uri == x->uri)
                    fail(1104, "Attribute \"" + attr.toUtf8() + "\" was already specified for element \"" +
                                   name.toUtf8() + "\".");
            e->attributes.push_back(x);
        }
        e->parent = nullptr;
        add(parent, e);
        return empty ? nullptr : e;
    }

    // Resolves a prefix:local name against the declarations in scope.
    void splitName(const String& name, XmlObject* node, const std::vector<XmlObject*>& open, bool attribute) {
        std::u16string_view n = name.view();
        std::size_t colon = n.find(u':');
        String prefix = colon == npos ? String() : String(n.substr(0, colon));
        node->local = String(colon == npos ? n : n.substr(colon + 1));
        node->prefix = prefix;
        if (colon == npos && attribute) return;
        if (prefix == u"xml") {
            node->uri = String(u"http://www.w3.org/XML/1998/namespace");
            return;
        }
        const XmlObject* owner = attribute ? node->parent : node;
        auto find = [&](const XmlObject* e) -> const XmlNamespace* {
            for (const XmlNamespace& ns : e->declarations)
                if (ns.prefix == prefix) return &ns;
            return nullptr;
        };
        const XmlNamespace* ns = find(owner);
        for (auto it = open.rbegin(); !ns && it != open.rend(); ++it) ns = find(*it);
        if (ns) node->uri = ns->uri;
        else if (!prefix.empty())
            fail(1083, "The prefix \"" + prefix.toUtf8() + "\" for element \"" + node->local.toUtf8() + "\" is not bound.");
        else node->uri = vm_.defaultXmlNamespace();
    }

    Vm& vm_;
    const XmlSettings& settings_;
    std::u16string_view s_;
    std::size_t at_ = 0;
};

}  // namespace

XmlObject* parseXmlFragment(Vm& vm, std::u16string_view markup) { return Parser(vm, markup).run(); }

}  // namespace kinolux::avm2
