#include "flash/core/html_text.h"

#include <algorithm>

#include <QRegularExpression>

namespace flash {
namespace {

QString attribute(const QString& tag, const QString& name) {
    static const QRegularExpression kAttribute("([A-Za-z_:][-A-Za-z0-9_:.]*)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')");
    auto it = kAttribute.globalMatch(tag);
    while (it.hasNext()) {
        auto m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) != 0) continue;
        for (int group : {2, 3})
            if (m.capturedStart(group) >= 0) return m.captured(group);
    }
    return {};
}

bool hasAttribute(const QString& tag, const QString& name) {
    static const QRegularExpression kName("\\s([A-Za-z_:][-A-Za-z0-9_:.]*)\\s*=");
    auto it = kName.globalMatch(tag);
    while (it.hasNext())
        if (it.next().captured(1).compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString decodeEntity(const QString& name) {
    if (name == "lt") return "<";
    if (name == "gt") return ">";
    if (name == "amp") return "&";
    if (name == "quot") return "\"";
    if (name == "apos") return "'";
    if (name == "nbsp") return QString(QChar(0xa0));
    if (name.startsWith('#')) {
        bool ok = false;
        uint code = name.startsWith("#x") ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code < 0x110000) return QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
    }
    return "&" + name + ";";
}

swf::TextAlign alignOf(const QString& v, swf::TextAlign current) {
    QString a = v.toLower();
    if (a == "left") return swf::TextAlign::Left;
    if (a == "center") return swf::TextAlign::Center;
    if (a == "right") return swf::TextAlign::Right;
    if (a == "justify") return swf::TextAlign::Justify;
    return current;
}

// "#rrggbb": white space may follow the #, the hex digits end at the first
// other character, and only the last six count. Anything else is no color.
std::optional<QColor> colorOf(const QString& v) {
    if (!v.startsWith('#')) return std::nullopt;
    int i = 1;
    while (i < v.size() && v[i].isSpace()) ++i;
    std::uint32_t rgb = 0;
    int digits = 0;
    for (; i < v.size(); ++i, ++digits) {
        const char16_t c = v[i].toLower().unicode();
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) break;
        rgb = (rgb << 4 | std::uint32_t(d)) & 0xFFFFFF;
    }
    if (digits == 0) return std::nullopt;
    return QColor::fromRgb(rgb);
}

bool hasUnquotedValue(const QString& tag) {
    static const QRegularExpression kUnquoted("=\\s*[^\"'\\s]");
    return tag.contains(kUnquoted);
}

bool isWhite(QChar c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

class HtmlReader {
public:
    HtmlReader(const TextStyle& base, HtmlReading how, const HtmlStyleSheet& styleSheet)
        : how_(how), styleSheet_(styleSheet) {
        formats_.push_back(base);
    }

    RichText read(const QString& html) {
        int i = 0;
        while (i < html.size()) {
            QChar c = html[i];
            if (c == '<') {
                int end = html.indexOf('>', i);
                if (end < 0) break;
                const QString t = html.mid(i + 1, end - i - 1).trimmed();
                // The player stops reading at an attribute without quotes.
                if (hasUnquotedValue(t)) break;
                tag(t);
                i = end + 1;
            } else if (c == '&') {
                int end = html.indexOf(';', i);
                if (end < 0 || end - i > 10) {
                    text("&");
                    ++i;
                } else {
                    text(decodeEntity(html.mid(i + 1, end - i - 1)));
                    i = end + 1;
                }
            } else if (isWhite(c) && how_.condenseWhite) {
                while (i < html.size() && isWhite(html[i])) ++i;
                const QString& t = out_.text();
                if (!t.isEmpty() && t.back() != ' ' && t.back() != '\r') text(" ");
            } else if (c == '\r' || c == '\n') {
                // In HTML even \r\n is two line breaks.
                ++i;
                text("\r");
            } else {
                int end = i;
                while (end < html.size() && html[end] != '<' && html[end] != '&' && html[end] != '\r' &&
                       html[end] != '\n' && !(how_.condenseWhite && isWhite(html[end])))
                    ++end;
                text(html.mid(i, end - i));
                i = end;
            }
        }
        return std::move(out_);
    }

private:
    void text(const QString& t) { out_.append(t, formats_.back()); }

    // A paragraph's end takes the format of the text it ends, once the tags
    // that set it are closed.
    void endParagraph() {
        if (!how_.multiline) return;
        const QString& t = out_.text();
        out_.append("\r", t.isEmpty() || t.back() == '\r' ? formats_.back() : out_.styleAt(out_.size() - 1));
    }

    void push(TextStyle f) { formats_.push_back(std::move(f)); }
    void pop() {
        if (formats_.size() > 1) formats_.pop_back();
    }

    void startBlock(const QString& t, bool bullet, TextStyle f) {
        if (how_.multiline && !out_.empty() && out_.text().back() != '\r') out_.append("\r", formats_.back());
        if (!bullet) f.align = alignOf(attribute(t, "align"), f.align);
        f.bullet = bullet;
        push(f);
    }

    // The format a tag opens with: the one around it, with the sheet's
    // styles for the tag (the tag's own attributes then go over them). A
    // paragraph, a link and a tag of the sheet's own take the style of
    // their name; those and spans the style of their class, named exactly
    // (blanks and all) but in any case. Other HTML tags take neither.
    TextStyle openingFormat(const QString& t, const QString& name) const {
        TextStyle f = formats_.back();
        if (!styleSheet_ || name.isEmpty()) return f;
        const bool styledTag = name == "p" || name == "li" || name == "a" || (!knownTag(name) && name != "span");
        if (styledTag) styleSheet_(name, f);
        const QString className = attribute(t, "class").toLower();
        if ((styledTag || name == "span") && !className.isEmpty()) styleSheet_("." + className, f);
        return f;
    }

    void tag(const QString& t) {
        const QString name = t.section(QRegularExpression("[\\s/]"), 0, 0).toLower();
        const bool closing = t.startsWith('/');
        const QString closed = closing ? t.mid(1).trimmed().toLower() : QString();
        if (knownTag(name) || knownTag(closed)) {
            knownTagRead(t, name, closed, openingFormat(t, name));
        } else if (styleSheet_ && !name.isEmpty() && name[0].isLetter() && !t.endsWith('/') && name != "img") {
            push(openingFormat(t, name));
        } else if (styleSheet_ && !closed.isEmpty()) {
            pop();
        }
    }

    static bool knownTag(const QString& name) {
        static const QStringList kKnown = {"br", "p", "li", "font", "a", "b", "i", "u", "textformat"};
        return kKnown.contains(name);
    }

    void knownTagRead(const QString& t, const QString& name, const QString& closed, TextStyle f) {
        if (name == "br") {
            endParagraph();
        } else if (name == "p" || name == "li") {
            startBlock(t, name == "li", std::move(f));
        } else if (closed == "p" || closed == "li") {
            endParagraph();
            pop();
        } else if (name == "font") {
            if (hasAttribute(t, "face")) f.face = attribute(t, "face");
            QString size = attribute(t, "size");
            bool ok = false;
            double s = size.toDouble(&ok);
            if (ok) f.size = size.startsWith('+') || size.startsWith('-') ? f.size + s : s;
            if (auto color = colorOf(attribute(t, "color"))) f.color = *color;
            double spacing = attribute(t, "letterSpacing").toDouble(&ok);
            if (ok) f.letterSpacing = spacing;
            int kerning = attribute(t, "kerning").toInt(&ok);
            if (ok) f.kerning = kerning != 0;
            push(f);
        } else if (name == "a") {
            f.url = attribute(t, "href");
            f.target = attribute(t, "target");
            push(f);
        } else if (name == "b" || name == "i" || name == "u") {
            (name == "b" ? f.bold : name == "i" ? f.italic : f.underline) = true;
            push(f);
        } else if (name == "textformat") {
            auto number = [&](const char* attr, double& out) {
                bool ok = false;
                double v = attribute(t, attr).toDouble(&ok);
                if (ok) out = v;
            };
            number("leftmargin", f.leftMargin);
            number("rightmargin", f.rightMargin);
            number("indent", f.indent);
            number("blockindent", f.blockIndent);
            number("leading", f.leading);
            push(f);
        } else if (closed == "font" || closed == "b" || closed == "i" || closed == "u" || closed == "a" ||
                   closed == "textformat") {
            pop();
        }
    }

    HtmlReading how_;
    const HtmlStyleSheet& styleSheet_;
    std::vector<TextStyle> formats_;
    RichText out_;
};

QString escaped(const QString& plain) {
    QString out;
    out.reserve(plain.size());
    for (QChar c : plain) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else if (c == '"') out += "&quot;";
        else if (c == '\'') out += "&apos;";
        else out += c;
    }
    return out;
}

QString number(double v) { return QString::number(v, 'g', 15); }

const char* alignName(swf::TextAlign a) {
    switch (a) {
    case swf::TextAlign::Center: return "CENTER";
    case swf::TextAlign::Right: return "RIGHT";
    case swf::TextAlign::Justify: return "JUSTIFY";
    default: return "LEFT";
    }
}

QString colorName(const QColor& c) { return "#" + QString::asprintf("%06X", c.rgb() & 0xFFFFFF); }

bool sameFont(const TextStyle& a, const TextStyle& b) {
    return a.face == b.face && a.size == b.size && a.color == b.color && a.letterSpacing == b.letterSpacing &&
           a.kerning == b.kerning;
}

// A FONT tag of the attributes where a font differs from the one it is
// written inside (all of them for none).
QString fontTag(const TextStyle& s, const TextStyle* outer = nullptr) {
    QString out = "<FONT";
    auto put = [&](bool differs, const char* name, const QString& value) {
        if (!outer || differs) out += QString(" %1=\"%2\"").arg(name, value);
    };
    put(outer && outer->face != s.face, "FACE", escaped(s.face));
    put(outer && outer->size != s.size, "SIZE", number(s.size));
    put(outer && outer->color != s.color, "COLOR", colorName(s.color));
    put(outer && outer->letterSpacing != s.letterSpacing, "LETTERSPACING", number(s.letterSpacing));
    put(outer && outer->kerning != s.kerning, "KERNING", s.kerning ? "1" : "0");
    return out + ">";
}

QString textFormatAttributes(const TextStyle& s) {
    QString out;
    auto put = [&](const char* name, double v) {
        if (v != 0) out += QString(" %1=\"%2\"").arg(name, number(v));
    };
    put("LEFTMARGIN", s.leftMargin);
    put("RIGHTMARGIN", s.rightMargin);
    put("INDENT", s.indent);
    put("BLOCKINDENT", s.blockIndent);
    put("LEADING", s.leading);
    if (!s.tabStops.empty()) {
        QStringList stops;
        for (double v : s.tabStops) stops << number(v);
        out += " TABSTOPS=\"" + stops.join(',') + "\"";
    }
    return out;
}

// One paragraph's characters [begin, end), its \r left out.
QString paragraphHtml(const RichText& rich, int begin, int end, const TextStyle& paragraph) {
    QString out;
    const QString attributes = textFormatAttributes(paragraph);
    if (!attributes.isEmpty()) out += "<TEXTFORMAT" + attributes + ">";
    out += paragraph.bullet ? QString("<LI>") : QString("<P ALIGN=\"%1\">").arg(alignName(paragraph.align));
    const QString& text = rich.text();
    if (begin == end) out += fontTag(paragraph) + "</FONT>";
    // The fonts open around the text: a run in one of them closes those
    // inside it, a run in another opens it inside the innermost.
    std::vector<const TextStyle*> fonts;
    for (int i = begin; i < end;) {
        const TextStyle& s = rich.styleAt(i);
        int runEnd = i;
        while (runEnd < end && rich.styleAt(runEnd) == s) ++runEnd;
        auto open = std::find_if(fonts.begin(), fonts.end(), [&](const TextStyle* f) { return sameFont(*f, s); });
        if (open != fonts.end()) {
            for (auto n = fonts.end() - open - 1; n > 0; --n) out += "</FONT>";
            fonts.erase(open + 1, fonts.end());
        } else {
            out += fontTag(s, fonts.empty() ? nullptr : fonts.back());
            fonts.push_back(&s);
        }
        QString before, after;
        if (!s.url.isEmpty()) {
            before += QString("<A HREF=\"%1\" TARGET=\"%2\">").arg(escaped(s.url), escaped(s.target));
            after.prepend("</A>");
        }
        if (s.bold) before += "<B>", after.prepend("</B>");
        if (s.italic) before += "<I>", after.prepend("</I>");
        if (s.underline) before += "<U>", after.prepend("</U>");
        out += before + escaped(text.mid(i, runEnd - i)) + after;
        i = runEnd;
    }
    for (std::size_t n = fonts.size(); n > 0; --n) out += "</FONT>";
    out += paragraph.bullet ? "</LI>" : "</P>";
    if (!attributes.isEmpty()) out += "</TEXTFORMAT>";
    return out;
}

}  // namespace

RichText parseHtml(const QString& html, const TextStyle& base, HtmlReading how, const HtmlStyleSheet& styleSheet) {
    return HtmlReader(base, how, styleSheet).read(html);
}

QString writeHtml(const RichText& rich) {
    QString out;
    const QString& text = rich.text();
    int begin = 0;
    while (begin < rich.size()) {
        int end = text.indexOf('\r', begin);
        if (end < 0) end = rich.size();
        out += paragraphHtml(rich, begin, end, rich.styleAt(std::min(begin, rich.size() - 1)));
        begin = end + 1;
    }
    return out;
}

std::vector<Paragraph> plainParagraphs(const QString& text, const TextStyle& format) {
    return RichText(text, format).paragraphs(format);
}

std::vector<Paragraph> htmlParagraphs(const QString& html, const TextStyle& base) {
    return parseHtml(html, base).paragraphs(base);
}

}  // namespace flash
