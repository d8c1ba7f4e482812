// Typing into a text field: what restrict and maxChars let through, and the
// edits the keys, the clipboard and replaceSel make at the caret.
#pragma once

#include <QPointF>
#include <QString>
#include <optional>

#include "flash/core/edit_text.h"

namespace flash {

// The character a restrict setting lets through in place of `c`: `c`
// itself, or `c` in the other case when only that case is allowed; nullopt
// when it is refused.
std::optional<char32_t> restrictChar(const QString& restrict, char32_t c);

// Puts `text` in place of the selection as typing or pasting does: through
// restrict, within maxChars, control characters dropped and newlines kept
// in multiline fields only. The caret ends after it. Whether the text
// changed.
bool typeText(EditText& field, const QString& text);
// replaceSel: the text goes in as it is; with no selection yet, at the start.
void replaceSelection(EditText& field, const QString& text);
// Backspace (backwards) and Delete: the selection, else the character on
// that side of the caret. Whether the text changed.
bool eraseAtCaret(EditText& field, bool forward);
// The caret to `index`; with `extend` the selection stretches to it.
void moveCaret(EditText& field, int index, bool extend);
// The caret one character left or right, or to the start or end of its
// line; a selection collapses to its side unless it is extended.
void stepCaret(EditText& field, bool forward, bool wholeLine, bool extend);
// What copying takes: the selection, and nothing from a password field.
QString selectedText(const EditText& field);

}  // namespace flash
