#include "flash/core/text_editing.h"

#include <algorithm>
#include <cmath>


namespace flash {

namespace {

// Only the Latin letters of ASCII change case to pass a restrict setting.
char32_t otherCase(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - U'a' + U'A';
    if (c >= U'A' && c <= U'Z') return c - U'A' + U'a';
    return c;
}

// Whether a restrict setting lets a character in. "^" flips between
// allowing and refusing what follows, and a setting that starts by refusing
// allows everything else. "x-y" is a range: one from a character past the
// end (y-x) holds only x, and a dash with no character before it (at the
// start, or just after a range) ranges from the first character there is.
// Dashes in a row count as one; a dash or a backslash at the end counts for
// nothing; a backslash takes the next character as it is.
bool restrictAllows(const std::u32string& r, char32_t c) {
    bool allowing = true;
    bool allowed = !r.empty() && r.front() == U'^';
    char32_t rangeStart = 0;
    for (std::size_t i = 0; i < r.size();) {
        if (r[i] == U'^') {
            allowing = !allowing;
            rangeStart = 0;
            ++i;
            continue;
        }
        const bool range = r[i] == U'-';
        while (i < r.size() && r[i] == U'-') ++i;
        if (i < r.size() && r[i] == U'\\') ++i;
        if (i >= r.size()) break;
        const char32_t ch = r[i++];
        if (range) {
            if (c >= rangeStart && c <= ch) allowed = allowing;
            rangeStart = 0;
        } else {
            if (c == ch) allowed = allowing;
            rangeStart = ch;
        }
    }
    return allowed;
}

TextSelection selectionOr(const EditText& field, int at) { return field.selection().value_or(TextSelection{at, at}); }

bool isHighSurrogate(const QString& s, int i) { return i >= 0 && i < s.size() && s.at(i).isHighSurrogate(); }

}  // namespace

std::optional<char32_t> restrictChar(const QString& restrict, char32_t c) {
    const std::u32string r = restrict.toStdU32String();
    if (restrictAllows(r, c)) return c;
    const char32_t other = otherCase(c);
    if (other != c && restrictAllows(r, other)) return other;
    return std::nullopt;
}

bool typeText(EditText& field, const QString& text) {
    const TextSelection sel = selectionOr(field, field.content.size());
    QString accepted;
    for (char32_t c : text.toStdU32String()) {
        if (c == U'\r' || c == U'\n') {
            if (!field.multiline) continue;
            c = U'\r';
        } else if (c < 32 || c == 127) {
            continue;
        }
        if (field.hasRestrict) {
            const auto let = restrictChar(field.restrict, c);
            if (!let) continue;
            c = *let;
        }
        accepted += QString::fromUcs4(&c, 1);
    }
    if (field.maxChars > 0) {
        const int room = field.maxChars - (field.content.size() - (sel.end() - sel.begin()));
        int keep = std::clamp(room, 0, int(accepted.size()));
        if (isHighSurrogate(accepted, keep - 1)) --keep;  // never half a character
        accepted.truncate(keep);
    }
    if (accepted.isEmpty()) return false;
    field.content.replace(sel.begin(), sel.end(), accepted, field.style);
    const int caret = sel.begin() + int(accepted.size());
    field.select(caret, caret);
    return true;
}

void replaceSelection(EditText& field, const QString& text) {
    const TextSelection sel = selectionOr(field, 0);
    field.content.replace(sel.begin(), sel.end(), text, field.style);
    const int caret = sel.begin() + int(text.size());
    field.select(caret, caret);
}

bool eraseAtCaret(EditText& field, bool forward) {
    const QString& text = field.content.text();
    TextSelection sel = selectionOr(field, field.content.size());
    int begin = sel.begin(), end = sel.end();
    if (begin == end) {
        if (forward) {
            if (end >= text.size()) return false;
            end += isHighSurrogate(text, end) ? 2 : 1;
        } else {
            if (begin <= 0) return false;
            begin -= begin >= 2 && isHighSurrogate(text, begin - 2) ? 2 : 1;
        }
    }
    field.content.replace(begin, end, QString(), field.style);
    field.select(begin, begin);
    return true;
}

void moveCaret(EditText& field, int index, bool extend) {
    index = std::clamp(index, 0, field.content.size());
    const TextSelection sel = selectionOr(field, index);
    field.select(extend ? sel.anchor : index, index);
}

void stepCaret(EditText& field, bool forward, bool wholeLine, bool extend) {
    const QString& text = field.content.text();
    const TextSelection sel = selectionOr(field, field.content.size());
    int to = sel.caret;
    if (wholeLine) {
        if (forward) {
            while (to < text.size() && text.at(to) != u'\r') ++to;
        } else {
            while (to > 0 && text.at(to - 1) != u'\r') --to;
        }
    } else if (!extend && sel.begin() != sel.end()) {
        to = forward ? sel.end() : sel.begin();
    } else if (forward) {
        if (to < text.size()) to += isHighSurrogate(text, to) ? 2 : 1;
    } else if (to > 0) {
        to -= to >= 2 && isHighSurrogate(text, to - 2) ? 2 : 1;
    }
    moveCaret(field, to, extend);
}

QString selectedText(const EditText& field) {
    const auto sel = field.selection();
    if (!sel || field.password) return {};
    return field.content.text().mid(sel->begin(), sel->end() - sel->begin());
}

}  // namespace flash
