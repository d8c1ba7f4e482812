// The HTML that text fields read and write: <p align>, <li>, <br>,
// <font face size color letterSpacing kerning>, <b>, <i>, <u>, <a href
// target>, <textformat> and the usual entities. Other tags are ignored,
// their text kept, unless a style sheet styles them.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "flash/core/rich_text.h"

namespace flash {

// A field's style sheet: changes the format of the text inside a tag as the
// sheet's style for a selector asks (nothing when it has no such style).
// Selectors are tag names and "." with a class name, in lower case.
using HtmlStyleSheet = std::function<void(const QString& selector, TextStyle& format)>;

struct HtmlReading {
    // Paragraph ends (</p>, </li>, <br>) only break lines in multiline fields.
    bool multiline = true;
    // Runs of white space read as one space, and none at a line's start.
    bool condenseWhite = false;
};

// With a style sheet every tag takes the style of its name and then of its
// class, and tags the reader does not know (<span>, <headline>) style the
// text they enclose.
RichText parseHtml(const QString& html, const TextStyle& base, HtmlReading how = {},
                   const HtmlStyleSheet& styleSheet = {});
// The text as the player writes htmlText: a <P> (or <LI>) per paragraph,
// one <FONT> per run of a character format, <TEXTFORMAT> around paragraphs
// with margins, indents or leading.
QString writeHtml(const RichText& text);

// Plain text: paragraphs split at \r, \n and \r\n, all in one format.
std::vector<Paragraph> plainParagraphs(const QString& text, const TextStyle& format);
std::vector<Paragraph> htmlParagraphs(const QString& html, const TextStyle& base);

}  // namespace flash
