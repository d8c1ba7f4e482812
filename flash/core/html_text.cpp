#include "flash/core/html_text.h"

#include <QRegularExpression>

namespace flash {
namespace {

QString attribute(const QString& tag, const QString& name) {
    int at = tag.indexOf(QRegularExpression("\\b" + name + "\\s*=", QRegularExpression::CaseInsensitiveOption));
    if (at < 0) return {};
    int eq = tag.indexOf('=', at);
    int i = eq + 1;
    while (i < tag.size() && tag[i].isSpace()) ++i;
    if (i >= tag.size()) return {};
    QChar quote = tag[i];
    if (quote == '"' || quote == '\'') {
        int end = tag.indexOf(quote, i + 1);
        return tag.mid(i + 1, end < 0 ? -1 : end - i - 1);
    }
    int end = i;
    while (end < tag.size() && !tag[end].isSpace() && tag[end] != '>') ++end;
    return tag.mid(i, end - i);
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

swf::TextAlign alignOf(const QString& v) {
    QString a = v.toLower();
    if (a == "center") return swf::TextAlign::Center;
    if (a == "right") return swf::TextAlign::Right;
    if (a == "justify") return swf::TextAlign::Justify;
    return swf::TextAlign::Left;
}

class HtmlReader {
public:
    explicit HtmlReader(const TextStyle& base) { formats_.push_back(base); paragraphs_.emplace_back(); paragraphs_.back().align = base.align; }

    std::vector<Paragraph> read(const QString& html) {
        int i = 0;
        while (i < html.size()) {
            QChar c = html[i];
            if (c == '<') {
                int end = html.indexOf('>', i);
                if (end < 0) break;
                tag(html.mid(i + 1, end - i - 1).trimmed());
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
            } else if (c == '\r' || c == '\n') {
                newParagraph();
                if (c == '\r' && i + 1 < html.size() && html[i + 1] == '\n') ++i;
                ++i;
            } else {
                int end = i;
                while (end < html.size() && html[end] != '<' && html[end] != '&' && html[end] != '\r' && html[end] != '\n') ++end;
                text(html.mid(i, end - i));
                i = end;
            }
        }
        return std::move(paragraphs_);
    }

private:
    void text(const QString& t) {
        auto& runs = paragraphs_.back().runs;
        if (!runs.empty() && runs.back().format.face == formats_.back().face && runs.back().format.size == formats_.back().size &&
            runs.back().format.color == formats_.back().color && runs.back().format.bold == formats_.back().bold &&
            runs.back().format.italic == formats_.back().italic && runs.back().format.underline == formats_.back().underline)
            runs.back().text += t;
        else
            runs.push_back({t, formats_.back()});
    }

    void newParagraph() {
        paragraphs_.emplace_back();
        paragraphs_.back().align = formats_.back().align;
    }

    void push(TextStyle f) { formats_.push_back(std::move(f)); }
    void pop() {
        if (formats_.size() > 1) formats_.pop_back();
    }

    void tag(const QString& t) {
        QString name = t.section(QRegularExpression("\\s"), 0, 0).toLower();
        if (name == "br" || name == "br/") {
            newParagraph();
        } else if (name == "p") {
            TextStyle f = formats_.back();
            QString align = attribute(t, "align");
            if (!align.isEmpty()) f.align = alignOf(align);
            if (!paragraphs_.back().runs.empty()) newParagraph();
            push(f);
            paragraphs_.back().align = f.align;
        } else if (name == "/p") {
            pop();
            newParagraph();
        } else if (name == "font") {
            TextStyle f = formats_.back();
            QString face = attribute(t, "face"), size = attribute(t, "size"), color = attribute(t, "color");
            if (!face.isEmpty()) f.face = face;
            bool ok = false;
            double s = size.toDouble(&ok);
            if (ok) f.size = size.startsWith('+') || size.startsWith('-') ? f.size + s : s;
            if (color.startsWith('#') && color.size() == 7) f.color = QColor(color);
            push(f);
        } else if (name == "b" || name == "i" || name == "u") {
            TextStyle f = formats_.back();
            (name == "b" ? f.bold : name == "i" ? f.italic : f.underline) = true;
            push(f);
        } else if (name == "/font" || name == "/b" || name == "/i" || name == "/u") {
            pop();
        }
    }

    std::vector<TextStyle> formats_;
    std::vector<Paragraph> paragraphs_;
};

}  // namespace

std::vector<Paragraph> plainParagraphs(const QString& text, const TextStyle& format) {
    std::vector<Paragraph> out(1);
    out.back().align = format.align;
    QString current;
    auto flush = [&] {
        out.back().runs.push_back({current, format});
        current.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            flush();
            out.emplace_back();
            out.back().align = format.align;
        } else {
            current += c;
        }
    }
    flush();
    return out;
}

std::vector<Paragraph> htmlParagraphs(const QString& html, const TextStyle& base) {
    auto paragraphs = HtmlReader(base).read(html);
    // A closing </p> leaves an empty paragraph behind that is no line.
    if (paragraphs.size() > 1 && paragraphs.back().runs.empty()) paragraphs.pop_back();
    return paragraphs;
}

}  // namespace flash
