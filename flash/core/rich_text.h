// Text with a format for every character, as text fields keep it: the
// characters (paragraphs end with \r) and, beside each, its format.
#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <vector>

#include "flash/swf/types.h"

namespace flash {

// The format of a character. The paragraph fields (align to tabStops) are
// the same for every character of a paragraph.
struct TextStyle {
    QString face;      // empty: the device default
    double size = 12;  // pixels
    QColor color = Qt::black;
    bool bold = false, italic = false, underline = false, kerning = false;
    double letterSpacing = 0;  // pixels
    QString url, target;
    swf::TextAlign align = swf::TextAlign::Left;
    double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0, blockIndent = 0;  // pixels
    bool bullet = false;
    std::vector<double> tabStops;

    bool operator==(const TextStyle&) const = default;
    // Whether the two look alike as characters (paragraph fields aside).
    bool sameCharacterFormat(const TextStyle& o) const {
        return face == o.face && size == o.size && color == o.color && bold == o.bold && italic == o.italic &&
               underline == o.underline && kerning == o.kerning && letterSpacing == o.letterSpacing &&
               url == o.url && target == o.target;
    }
};

struct TextRun {
    QString text;
    TextStyle format;
};

struct Paragraph {
    std::vector<TextRun> runs;
    swf::TextAlign align = swf::TextAlign::Left;
};

class RichText {
public:
    RichText() = default;
    // Plain text in one format; \n and \r\n end paragraphs as \r does.
    RichText(const QString& plain, const TextStyle& style);

    const QString& text() const { return text_; }
    int size() const { return int(text_.size()); }
    bool empty() const { return text_.isEmpty(); }
    const TextStyle& styleAt(int i) const { return palette_[std::size_t(styleOf_[std::size_t(i)])]; }

    void append(const QString& text, const TextStyle& style);
    // Replaces [begin, end) (clamped to the text) with `text` in `style`.
    void replace(int begin, int end, const QString& text, const TextStyle& style);
    // Changes the format of every character in [begin, end).
    void restyle(int begin, int end, const std::function<void(TextStyle&)>& change);
    // The start of the paragraph holding `i`, and the end of the one holding
    // `i` (past its \r).
    int paragraphStart(int i) const;
    int paragraphEnd(int i) const;

    // The paragraphs as runs of one format; a last empty paragraph after a
    // final \r is left out. `fallback` formats an empty paragraph.
    std::vector<Paragraph> paragraphs(const TextStyle& fallback) const;

private:
    int styleIndex(const TextStyle& style);
    void compact();

    QString text_;
    std::vector<int> styleOf_;  // into palette_, one per character
    std::vector<TextStyle> palette_;
};

// Newlines as text fields store them: \n and \r\n become \r.
QString toFieldNewlines(const QString& text);

}  // namespace flash
