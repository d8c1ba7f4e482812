// The small HTML subset that text fields understand: <p align>, <font face
// size color>, <b>, <i>, <u>, <br> and the usual entities. Everything else
// is ignored, its text kept.
#pragma once

#include <QColor>
#include <QString>
#include <vector>

#include "flash/swf/types.h"

namespace flash::render {

struct TextFormat {
    QString face;
    double size = 12;  // pixels
    QColor color = Qt::black;
    bool bold = false, italic = false, underline = false;
    swf::TextAlign align = swf::TextAlign::Left;
};

struct TextRun {
    QString text;
    TextFormat format;
};

struct Paragraph {
    std::vector<TextRun> runs;
    swf::TextAlign align = swf::TextAlign::Left;
};

// Plain text: paragraphs split at \r, \n and \r\n, all in one format.
std::vector<Paragraph> plainParagraphs(const QString& text, const TextFormat& format);
std::vector<Paragraph> htmlParagraphs(const QString& html, const TextFormat& base);

}  // namespace flash::render
