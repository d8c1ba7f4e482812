// The small HTML subset that text fields understand: <p align>, <font face
// size color>, <b>, <i>, <u>, <br> and the usual entities. Everything else
// is ignored, its text kept.
#pragma once

#include <QColor>
#include <QString>
#include <vector>

#include "flash/swf/types.h"

namespace flash {

// The format of a run of text; a field's own format is the default.
struct TextStyle {
    QString face;      // empty: the device default
    double size = 12;  // pixels
    QColor color = Qt::black;
    bool bold = false, italic = false, underline = false;
    swf::TextAlign align = swf::TextAlign::Left;
    double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;  // pixels
};

struct TextRun {
    QString text;
    TextStyle format;
};

struct Paragraph {
    std::vector<TextRun> runs;
    swf::TextAlign align = swf::TextAlign::Left;
};

// Plain text: paragraphs split at \r, \n and \r\n, all in one format.
std::vector<Paragraph> plainParagraphs(const QString& text, const TextStyle& format);
std::vector<Paragraph> htmlParagraphs(const QString& html, const TextStyle& base);

}  // namespace flash
