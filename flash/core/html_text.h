// The HTML that text fields read and write: <p align>, <li>, <br>,
// <font face size color letterSpacing kerning>, <b>, <i>, <u>, <a href
// target>, <textformat> and the usual entities. Other tags are ignored,
// their text kept.
#pragma once

#include <QString>
#include <vector>

#include "flash/core/rich_text.h"

namespace flash {

struct HtmlReading {
    // Paragraph ends (</p>, </li>, <br>) only break lines in multiline fields.
    bool multiline = true;
    // Runs of white space read as one space, and none at a line's start.
    bool condenseWhite = false;
};

RichText parseHtml(const QString& html, const TextStyle& base, HtmlReading how = {});
// The text as the player writes htmlText: a <P> (or <LI>) per paragraph,
// one <FONT> per run of a character format, <TEXTFORMAT> around paragraphs
// with margins, indents or leading.
QString writeHtml(const RichText& text);

// Plain text: paragraphs split at \r, \n and \r\n, all in one format.
std::vector<Paragraph> plainParagraphs(const QString& text, const TextStyle& format);
std::vector<Paragraph> htmlParagraphs(const QString& html, const TextStyle& base);

}  // namespace flash
