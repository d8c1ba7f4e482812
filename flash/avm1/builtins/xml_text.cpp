// The text form of XML documents: the parser, with the player's status
// codes, and the serializer.
#include "flash/avm1/builtins/xml_node.h"

namespace kinolux::avm1::builtins {

namespace {

// ---- text escaping ----

std::u16string escape(std::u16string_view s) {
    std::u16string out;
    for (char16_t c : s) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        case u'\'': out += u"&apos;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::u16string unescape(std::u16string_view s) {
    static const std::pair<std::u16string_view, char16_t> kEntities[] = {
        {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&amp;", u'&'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}, {u"&nbsp;", 0xA0},
    };
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == u'&') {
            bool done = false;
            for (const auto& [entity, ch] : kEntities) {
                if (s.substr(i, entity.size()) == entity) {
                    out.push_back(ch);
                    i += entity.size();
                    done = true;
                    break;
                }
            }
            if (!done && i + 2 < s.size() && s[i + 1] == u'#') {
                std::size_t end = s.find(u';', i);
                if (end != std::u16string_view::npos && end - i < 12) {
                    bool hex = s[i + 2] == u'x' || s[i + 2] == u'X';
                    std::u16string digits(s.substr(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2)));
                    std::string ascii(digits.begin(), digits.end());
                    char* stop = nullptr;
                    unsigned long code = std::strtoul(ascii.c_str(), &stop, hex ? 16 : 10);
                    if (!ascii.empty() && stop && *stop == 0 && code < 0x110000) {
                        if (code >= 0x10000) {
                            code -= 0x10000;
                            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
                            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
                        } else {
                            out.push_back(static_cast<char16_t>(code));
                        }
                        i = end + 1;
                        done = true;
                    }
                }
            }
            if (done) continue;
        }
        out.push_back(s[i++]);
    }
    return out;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// ---- the parser ----

class Parser {
public:
    Parser(Vm& vm, const Ref<XmlNode>& document, std::u16string_view text, bool ignoreWhite)
        : vm_(vm), text_(text), ignoreWhite_(ignoreWhite) {
        open_.push_back(document);
    }

    int run() {
        while (pos_ < text_.size()) {
            if (text_[pos_] != u'<') {
                textNode();
                continue;
            }
            int status = Status::Ok;
            if (starts(u"<?")) status = declaration();
            else if (starts(u"<!--")) status = skipUntil(u"-->", Status::CommentUnterminated);
            else if (starts(u"<![CDATA[")) status = cdata();
            else if (starts(u"<!")) status = doctype();
            else if (starts(u"</")) status = endTag();
            else status = startTag();
            if (status != Status::Ok) return status;
        }
        return open_.size() > 1 ? Status::EndTagMissing : Status::Ok;
    }

    std::u16string xmlDecl, docType;
    bool sawDecl = false, sawDocType = false;

private:
    bool starts(std::u16string_view s) const { return text_.substr(pos_, s.size()) == s; }

    void textNode() {
        std::size_t end = text_.find(u'<', pos_);
        if (end == std::u16string_view::npos) end = text_.size();
        std::u16string_view raw = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (ignoreWhite_ && std::all_of(raw.begin(), raw.end(), isBlank)) return;
        appendText(unescape(raw));
    }

    void appendText(std::u16string text) {
        Ref<XmlNode> node = newNode(vm_, kText, Value(String(text)), nodeProto(vm_));
        open_.back()->insert(open_.back()->children.size(), node);
    }

    int skipUntil(std::u16string_view end, int failure) {
        std::size_t at = text_.find(end, pos_);
        if (at == std::u16string_view::npos) return failure;
        pos_ = at + end.size();
        return Status::Ok;
    }

    int declaration() {
        std::size_t at = text_.find(u"?>", pos_);
        if (at == std::u16string_view::npos) return Status::DeclarationUnterminated;
        xmlDecl += text_.substr(pos_, at + 2 - pos_);
        sawDecl = true;
        pos_ = at + 2;
        return Status::Ok;
    }

    int doctype() {
        std::size_t at = text_.find(u'>', pos_);
        if (at == std::u16string_view::npos) return Status::DoctypeUnterminated;
        docType = std::u16string(text_.substr(pos_, at + 1 - pos_));
        sawDocType = true;
        pos_ = at + 1;
        return Status::Ok;
    }

    int cdata() {
        std::size_t start = pos_ + 9;
        std::size_t at = text_.find(u"]]>", start);
        if (at == std::u16string_view::npos) return Status::CdataUnterminated;
        appendText(std::u16string(text_.substr(start, at - start)));
        pos_ = at + 3;
        return Status::Ok;
    }

    std::u16string_view name() {
        std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_]) && text_[pos_] != u'>' && text_[pos_] != u'/' &&
               text_[pos_] != u'=')
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    }

    int endTag() {
        pos_ += 2;
        std::u16string_view tag = name();
        skipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != u'>') return Status::ElementMalformed;
        ++pos_;
        if (open_.size() <= 1) return Status::StartTagMissing;
        const Value& openName = open_.back()->name;
        if (!openName.isString() || openName.string().view() != tag) return Status::EndTagMissing;
        open_.pop_back();
        return Status::Ok;
    }

    int startTag() {
        ++pos_;
        std::u16string_view tag = name();
        if (tag.empty()) return Status::ElementMalformed;
        Ref<XmlNode> node = newNode(vm_, kElement, Value(String(tag)), nodeProto(vm_));
        std::vector<std::pair<String, String>> attributes;
        for (;;) {
            skipBlanks();
            if (pos_ >= text_.size()) return Status::ElementMalformed;
            if (text_[pos_] == u'>' || starts(u"/>")) break;
            std::u16string_view attr = name();
            skipBlanks();
            if (attr.empty() || pos_ >= text_.size() || text_[pos_] != u'=') return Status::ElementMalformed;
            ++pos_;
            skipBlanks();
            if (pos_ >= text_.size() || (text_[pos_] != u'"' && text_[pos_] != u'\'')) return Status::ElementMalformed;
            char16_t quote = text_[pos_++];
            std::size_t end = text_.find(quote, pos_);
            if (end == std::u16string_view::npos) return Status::AttributeUnterminated;
            attributes.emplace_back(String(attr), String(unescape(text_.substr(pos_, end - pos_))));
            pos_ = end + 1;
        }
        // Stored newest first, so that for..in lists them in document order.
        for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
            if (node->attributes->properties().find(it->first, true) == PropertyMap::kNone)
                node->attributes->defineValue(it->first, Value(it->second));
        }
        bool empty = starts(u"/>");
        pos_ += empty ? 2 : 1;
        open_.back()->insert(open_.back()->children.size(), node);
        if (!empty) open_.push_back(node);
        return Status::Ok;
    }

    Vm& vm_;
    std::u16string_view text_;
    bool ignoreWhite_;
    std::size_t pos_ = 0;
    std::vector<Ref<XmlNode>> open_;
};

}  // namespace

void serialize(const XmlNode& node, std::u16string& out) {
    if (node.type == kText) {
        if (node.value.isString()) out += escape(node.value.string().view());
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
                out += escape(primitiveToString(it->value, 7).view());
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

ParsedXml parseXmlText(Vm& vm, const Ref<XmlNode>& document, std::u16string_view text, bool ignoreWhite) {
    Parser parser(vm, document, text, ignoreWhite);
    ParsedXml result;
    result.status = parser.run();
    result.xmlDecl = std::move(parser.xmlDecl);
    result.docType = std::move(parser.docType);
    result.sawDecl = parser.sawDecl;
    result.sawDocType = parser.sawDocType;
    return result;
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
