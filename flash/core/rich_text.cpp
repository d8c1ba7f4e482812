#include "flash/core/rich_text.h"

#include <algorithm>

namespace flash {

namespace {
// Formats no character uses any more are dropped once there are this many.
constexpr std::size_t kPaletteSlack = 64;
}  // namespace

QString toFieldNewlines(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i] == '\n' ? QChar('\r') : text[i];
    }
    return out;
}

RichText::RichText(const QString& plain, const TextStyle& style) { append(toFieldNewlines(plain), style); }

int RichText::styleIndex(const TextStyle& style) {
    auto found = std::find(palette_.begin(), palette_.end(), style);
    if (found != palette_.end()) return int(found - palette_.begin());
    palette_.push_back(style);
    return int(palette_.size() - 1);
}

void RichText::compact() {
    if (palette_.size() < kPaletteSlack) return;
    std::vector<TextStyle> used;
    std::vector<int> remap(palette_.size(), -1);
    for (int& s : styleOf_) {
        if (remap[std::size_t(s)] < 0) {
            remap[std::size_t(s)] = int(used.size());
            used.push_back(palette_[std::size_t(s)]);
        }
        s = remap[std::size_t(s)];
    }
    palette_ = std::move(used);
}

void RichText::append(const QString& text, const TextStyle& style) { replace(size(), size(), text, style); }

void RichText::replace(int begin, int end, const QString& text, const TextStyle& style) {
    begin = std::clamp(begin, 0, size());
    end = std::clamp(end, begin, size());
    const int index = styleIndex(style);
    text_.replace(begin, end - begin, text);
    styleOf_.erase(styleOf_.begin() + begin, styleOf_.begin() + end);
    styleOf_.insert(styleOf_.begin() + begin, std::size_t(text.size()), index);
    compact();
}

void RichText::restyle(int begin, int end, const std::function<void(TextStyle&)>& change) {
    begin = std::clamp(begin, 0, size());
    end = std::clamp(end, begin, size());
    std::vector<int> changed(palette_.size(), -1);
    for (int i = begin; i < end; ++i) {
        int& s = styleOf_[std::size_t(i)];
        if (changed[std::size_t(s)] < 0) {
            TextStyle style = palette_[std::size_t(s)];
            change(style);
            changed[std::size_t(s)] = styleIndex(style);
        }
        s = changed[std::size_t(s)];
    }
    compact();
}

int RichText::paragraphStart(int i) const {
    i = std::clamp(i, 0, size());
    while (i > 0 && text_[i - 1] != '\r') --i;
    return i;
}

int RichText::paragraphEnd(int i) const {
    i = std::clamp(i, 0, size());
    while (i < size() && text_[i] != '\r') ++i;
    return i < size() ? i + 1 : i;
}

std::vector<Paragraph> RichText::paragraphs(const TextStyle& fallback) const {
    std::vector<Paragraph> out(1);
    out.back().align = empty() ? fallback.align : styleAt(0).align;
    for (int i = 0; i < size(); ++i) {
        const TextStyle& style = styleAt(i);
        if (text_[i] == '\r') {
            if (i + 1 == size()) break;
            out.emplace_back();
            out.back().align = styleAt(i + 1).align;
            continue;
        }
        auto& runs = out.back().runs;
        if (runs.empty() || !(runs.back().format == style)) runs.push_back({QString(), style});
        runs.back().text += text_[i];
    }
    return out;
}

}  // namespace flash
