#include "flash/core/text_layout.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "flash/core/edit_text.h"

namespace flash {
namespace {

constexpr double kTwips = 20;
constexpr double kTypicalAdvance = 0.5;  // of the em, where no font can be asked
// A bulleted paragraph's lines start this far in, the bullet in the gap.
constexpr double kBulletIndent = 36 * kTwips;

// The fonts a field's runs use, each measured once.
class FontTable {
public:
    FontTable(const EditText& field, const Library& library, const DeviceFonts& deviceFonts, GlyphCache& glyphs,
              std::vector<LayoutFont>& fonts)
        : field_(field), library_(library), deviceFonts_(deviceFonts), glyphs_(glyphs), fonts_(fonts) {}

    int fontFor(const TextStyle& style) {
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            if (fonts_[i].style.sameCharacterFormat(style)) return int(i);
        LayoutFont f;
        f.style = style;
        const double twips = style.size * kTwips;
        if (const Character* embedded = embeddedFont(style)) {
            const auto* font = embedded->as<swf::DefineFont>();
            f.embedded = embedded;
            f.scale = twips / fontEmSquare(*font);
            if (font->layout) {
                f.ascent = font->layout->ascent * f.scale;
                f.descent = font->layout->descent * f.scale;
            } else {
                f.ascent = twips * 0.9;
                f.descent = twips * 0.2;
            }
            metrics_.emplace_back(std::nullopt);
        } else if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            f.device = deviceFont(style, deviceFonts_);
            QFontMetricsF m(f.device);
            f.ascent = m.ascent();
            f.descent = m.descent();
            metrics_.emplace_back(m);
        } else {
            // Without a window system there are no system fonts to ask:
            // a typical face's proportions keep scripts' measures sound.
            f.ascent = twips * 0.9;
            f.descent = twips * 0.2;
            metrics_.emplace_back(std::nullopt);
        }
        fonts_.push_back(f);
        return int(fonts_.size() - 1);
    }

    // Embedded advances fall on whole twips, as the player places glyphs.
    double advance(int font, QChar c) {
        const LayoutFont& f = fonts_[std::size_t(font)];
        const double spacing = f.style.letterSpacing * kTwips;
        if (!f.embedded) {
            const auto& metrics = metrics_[std::size_t(font)];
            return (metrics ? metrics->horizontalAdvance(c) : f.style.size * kTwips * kTypicalAdvance) + spacing;
        }
        const auto* def = f.embedded->as<swf::DefineFont>();
        const int index = glyphs_.indexOf(*f.embedded, c.unicode());
        if (index < 0) return (c == ' ' ? std::floor(f.style.size * kTwips * 0.25) : 0) + spacing;
        if (def->layout) return std::floor(def->glyphs[std::size_t(index)].advance * f.scale) + spacing;
        return glyphs_.glyph(*def, std::uint32_t(index)).boundingRect().width() * f.scale + kTwips + spacing;
    }

private:
    const Character* embeddedFont(const TextStyle& style) const {
        if (!field_.embedFonts) return nullptr;
        const Character* defined = field_.definedFont();
        const auto* definedDef = defined ? defined->as<swf::DefineFont>() : nullptr;
        if (definedDef && QString::fromStdString(defined->fontInfo ? defined->fontInfo->name : definedDef->name)
                                  .compare(style.face, Qt::CaseInsensitive) == 0)
            return defined;
        if (const Character* named = library_.fontByName(style.face.toStdString(), style.bold, style.italic))
            return named;
        return definedDef && !definedDef->glyphs.empty() ? defined : nullptr;
    }

    const EditText& field_;
    const Library& library_;
    const DeviceFonts& deviceFonts_;
    GlyphCache& glyphs_;
    std::vector<LayoutFont>& fonts_;
    std::vector<std::optional<QFontMetricsF>> metrics_;
};

// Breaks one paragraph into lines and places them below `top`.
class ParagraphBreaker {
public:
    ParagraphBreaker(const EditText& field, FontTable& fonts, TextLayout& layout, bool trimTrailingSpaces)
        : field_(field), fonts_(fonts), layout_(layout), trimTrailingSpaces_(trimTrailingSpaces) {}

    void add(int begin, int end, int next, const TextStyle& paragraph) {
        const RichText& text = field_.content;
        const double areaWidth = field_.box.width() - 2 * kTextGutter;
        style_ = &paragraph;
        fallbackFont_ = fonts_.fontFor(begin < end ? text.styleAt(begin) : paragraph);
        bulletIndent_ = paragraph.bullet ? kBulletIndent : 0;
        available_ = areaWidth - (paragraph.leftMargin + paragraph.rightMargin + paragraph.blockIndent) * kTwips -
                     bulletIndent_;
        bulletLine_ = paragraph.bullet;
        line_ = LayoutLine();
        line_.begin = begin;
        indent_ = paragraph.indent * kTwips;
        double x = 0;
        int lastSpace = -1;
        for (int i = begin; i < end; ++i) {
            const QChar c = field_.password ? QChar('*') : text.text()[i];
            const int font = fonts_.fontFor(text.styleAt(i));
            const double advance = fonts_.advance(font, c);
            if (field_.wordWrap && c != ' ' && !line_.glyphs.empty() && indent_ + x + advance > available_) {
                std::vector<LayoutGlyph> carried;
                if (lastSpace >= 0) {
                    carried.assign(line_.glyphs.begin() + lastSpace + 1, line_.glyphs.end());
                    line_.glyphs.resize(std::size_t(lastSpace + 1));
                }
                finishLine(carried.empty() ? i : carried.front().index, true);
                x = 0;
                for (auto& g : carried) {
                    g.x = x;
                    x += g.advance;
                }
                line_.glyphs = std::move(carried);
                lastSpace = -1;
            }
            if (c == ' ') lastSpace = int(line_.glyphs.size());
            line_.glyphs.push_back({i, c, x, advance, font});
            x += advance;
        }
        finishLine(next, false);
    }

private:
    void finishLine(int end, bool wrapped) {
        LayoutLine& l = line_;
        l.end = end;
        for (const auto& g : l.glyphs) {
            const LayoutFont& f = layout_.fonts[std::size_t(g.font)];
            l.ascent = std::max(l.ascent, f.ascent);
            l.descent = std::max(l.descent, f.descent);
        }
        if (l.glyphs.empty()) {
            const LayoutFont& f = layout_.fonts[std::size_t(fallbackFont_)];
            l.ascent = f.ascent;
            l.descent = f.descent;
        }
        l.leading = style_->leading * kTwips;
        // Spaces a line wraps at take no room; those ending a paragraph do
        // where the text starts at the left.
        std::size_t counted = l.glyphs.size();
        if (wrapped || (style_->align != swf::TextAlign::Left && trimTrailingSpaces_))
            while (counted > 0 && l.glyphs[counted - 1].c == ' ') --counted;
        l.width = counted ? l.glyphs[counted - 1].x + l.glyphs[counted - 1].advance : 0;
        double left = (style_->leftMargin + style_->blockIndent) * kTwips + bulletIndent_ + indent_;
        l.bullet = std::exchange(bulletLine_, false);
        const double free = available_ - indent_ - l.width;
        if (style_->align == swf::TextAlign::Center) left += free / 2;
        else if (style_->align == swf::TextAlign::Right) left += free;
        l.left = left;
        if (l.width > 0) layout_.textWidth = std::max(layout_.textWidth, indent_ + l.width);
        layout_.lines.push_back(std::move(l));
        line_ = LayoutLine();
        line_.begin = end;
        indent_ = 0;
    }

    const EditText& field_;
    FontTable& fonts_;
    TextLayout& layout_;
    bool trimTrailingSpaces_;
    const TextStyle* style_ = nullptr;
    int fallbackFont_ = 0;
    double available_ = 0, indent_ = 0, bulletIndent_ = 0;
    bool bulletLine_ = false;
    LayoutLine line_;
};

}  // namespace

double LayoutLine::height() const { return std::floor((ascent + descent) / kTwips + 1e-9) * kTwips + leading; }

double TextLayout::room(std::size_t i) const {
    const std::size_t filled = lines.size() - (openLastLine ? 1 : 0);
    if (i >= filled) return 0;
    // The last line's leading is below the text, except on a text of one line.
    return i + 1 == filled && filled > 1 ? lines[i].height() - lines[i].leading : lines[i].height();
}

int TextLayout::bottomScroll(int scroll, double viewHeight) const {
    const int first = std::clamp(scroll, 1, std::max(1, int(lines.size())));
    double used = 0;
    int last = first;
    for (int i = first - 1; i < int(lines.size()); ++i) {
        used += room(std::size_t(i));
        if (used > viewHeight && i > first - 1) break;
        last = i + 1;
    }
    return last;
}

int TextLayout::maxScroll(double viewHeight) const {
    double used = 0;
    int first = int(lines.size());
    for (int i = int(lines.size()) - 1; i >= 0; --i) {
        used += room(std::size_t(i));
        if (used > viewHeight && i < int(lines.size()) - 1) break;
        first = i + 1;
    }
    return std::max(1, first);
}

TextLayout layoutText(const EditText& field, const DeviceFonts& deviceFonts, GlyphCache& glyphs) {
    TextLayout layout;
    const RichText& text = field.content;
    const Library& library = field.library();
    FontTable fonts(field, library, deviceFonts, glyphs, layout.fonts);
    // Before version 8 trailing spaces count wherever the line is aligned.
    ParagraphBreaker breaker(field, fonts, layout, library.swfVersion() >= 8);
    if (text.empty()) {
        // An empty field still has a line to put the caret on; only an
        // input field measures it, as the line the user types on.
        breaker.add(0, 0, 0, field.style);
        if (field.editable) layout.textHeight = layout.room(0);
        return layout;
    }
    for (int begin = 0; begin < text.size();) {
        int end = text.paragraphEnd(begin);
        const int next = end;
        if (end > begin && text.text()[end - 1] == '\r') --end;
        breaker.add(begin, end, next, text.styleAt(begin));
        begin = next;
    }
    // A final break opens a line the caret can go to and scrolling reaches,
    // though it holds nothing that takes room.
    layout.openLastLine = text.text().back() == '\r';
    if (layout.openLastLine) breaker.add(text.size(), text.size(), text.size(), text.styleAt(text.size() - 1));
    double top = 0;
    for (auto& line : layout.lines) {
        line.top = top;
        top += line.height();
    }
    for (std::size_t i = 0; i < layout.lines.size(); ++i) layout.textHeight += layout.room(i);
    return layout;
}

}  // namespace flash
