#include "flash/script/xml_document.h"

#include <algorithm>
#include <cstdlib>

namespace kinolux::script {

namespace {

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

// ---- the reader ----

class Reader {
public:
    Reader(std::u16string_view text, bool ignoreWhite, XmlBuilder& builder)
        : text_(text), ignoreWhite_(ignoreWhite), builder_(builder) {}

    int run() {
        while (pos_ < text_.size()) {
            if (text_[pos_] != u'<') {
                textNode();
                continue;
            }
            int status = XmlStatus::Ok;
            if (starts(u"<?")) status = declaration();
            else if (starts(u"<!--")) status = skipUntil(u"-->", XmlStatus::CommentUnterminated);
            else if (starts(u"<![CDATA[")) status = cdata();
            else if (starts(u"<!")) status = doctype();
            else if (starts(u"</")) status = endTag();
            else status = startTag();
            if (status != XmlStatus::Ok) return status;
        }
        return open_.empty() ? XmlStatus::Ok : XmlStatus::EndTagMissing;
    }

    XmlDocumentText result;

private:
    bool starts(std::u16string_view s) const { return text_.substr(pos_, s.size()) == s; }

    void textNode() {
        std::size_t end = text_.find(u'<', pos_);
        if (end == std::u16string_view::npos) end = text_.size();
        std::u16string_view raw = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (ignoreWhite_ && std::all_of(raw.begin(), raw.end(), isBlank)) return;
        builder_.text(unescape(raw));
    }

    int skipUntil(std::u16string_view end, int failure) {
        std::size_t at = text_.find(end, pos_);
        if (at == std::u16string_view::npos) return failure;
        pos_ = at + end.size();
        return XmlStatus::Ok;
    }

    int declaration() {
        std::size_t at = text_.find(u"?>", pos_);
        if (at == std::u16string_view::npos) return XmlStatus::DeclarationUnterminated;
        result.xmlDecl += text_.substr(pos_, at + 2 - pos_);
        result.sawDecl = true;
        pos_ = at + 2;
        return XmlStatus::Ok;
    }

    int doctype() {
        std::size_t at = text_.find(u'>', pos_);
        if (at == std::u16string_view::npos) return XmlStatus::DoctypeUnterminated;
        result.docType = std::u16string(text_.substr(pos_, at + 1 - pos_));
        result.sawDocType = true;
        pos_ = at + 1;
        return XmlStatus::Ok;
    }

    int cdata() {
        std::size_t start = pos_ + 9;
        std::size_t at = text_.find(u"]]>", start);
        if (at == std::u16string_view::npos) return XmlStatus::CdataUnterminated;
        builder_.text(std::u16string(text_.substr(start, at - start)));
        pos_ = at + 3;
        return XmlStatus::Ok;
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
        if (pos_ >= text_.size() || text_[pos_] != u'>') return XmlStatus::ElementMalformed;
        ++pos_;
        if (open_.empty()) return XmlStatus::StartTagMissing;
        if (open_.back() != tag) return XmlStatus::EndTagMissing;
        open_.pop_back();
        builder_.closeElement();
        return XmlStatus::Ok;
    }

    int startTag() {
        ++pos_;
        std::u16string_view tag = name();
        if (tag.empty()) return XmlStatus::ElementMalformed;
        std::vector<std::pair<std::u16string, std::u16string>> attributes;
        for (;;) {
            skipBlanks();
            if (pos_ >= text_.size()) return XmlStatus::ElementMalformed;
            if (text_[pos_] == u'>' || starts(u"/>")) break;
            std::u16string_view attr = name();
            skipBlanks();
            if (attr.empty() || pos_ >= text_.size() || text_[pos_] != u'=') return XmlStatus::ElementMalformed;
            ++pos_;
            skipBlanks();
            if (pos_ >= text_.size() || (text_[pos_] != u'"' && text_[pos_] != u'\'')) return XmlStatus::ElementMalformed;
            char16_t quote = text_[pos_++];
            std::size_t end = text_.find(quote, pos_);
            if (end == std::u16string_view::npos) return XmlStatus::AttributeUnterminated;
            std::erase_if(attributes, [&](const auto& a) { return a.first == attr; });
            attributes.emplace_back(attr, unescape(text_.substr(pos_, end - pos_)));
            pos_ = end + 1;
        }
        bool empty = starts(u"/>");
        pos_ += empty ? 2 : 1;
        builder_.openElement(tag, attributes);
        if (empty) builder_.closeElement();
        else open_.emplace_back(tag);
        return XmlStatus::Ok;
    }

    std::u16string_view text_;
    bool ignoreWhite_;
    XmlBuilder& builder_;
    std::size_t pos_ = 0;
    std::vector<std::u16string> open_;
};

}  // namespace

XmlDocumentText readXmlDocument(std::u16string_view text, bool ignoreWhite, XmlBuilder& builder) {
    Reader reader(text, ignoreWhite, builder);
    reader.result.status = reader.run();
    return std::move(reader.result);
}

std::u16string escapeXml(std::u16string_view s) {
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

}  // namespace kinolux::script
