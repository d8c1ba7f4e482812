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

// One item of a restrict setting: a character, or a range "a-z"; a
// backslash takes the next character as it is.
char32_t readRestrictChar(const std::u32string& r, std::size_t& i) {
    if (r[i] == U'\\' && i + 1 < r.size()) ++i;
    return r[i++];
}

bool restrictAllows(const std::u32string& r, char32_t c) {
    // "^" flips between allowing and refusing what follows; a setting that
    // starts by refusing allows everything else.
    bool allowing = true;
    bool allowed = !r.empty() && r.front() == U'^';
    for (std::size_t i = 0; i < r.size();) {
        if (r[i] == U'^') {
            allowing = !allowing;
            ++i;
            continue;
        }
        const char32_t first = readRestrictChar(r, i);
        char32_t last = first;
        if (i + 1 < r.size() && r[i] == U'-') {
            ++i;
            last = readRestrictChar(r, i);
        }
        if (c >= first && c <= last) allowed = allowing;
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
