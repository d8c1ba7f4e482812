#include "flash/core/text_measure.h"

#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "flash/core/rich_text.h"

namespace flash {
namespace {

constexpr double kGutter = 4;  // pixels a field adds around its text

// Greedy word wrap: a word that does not fit starts the next line.
std::vector<double> lineWidths(const QString& paragraph, const QFontMetricsF& m, std::optional<double> limit) {
    if (!limit) return {m.horizontalAdvance(paragraph)};
    std::vector<double> widths;
    QString line;
    for (const QString& word : paragraph.split(' ')) {
        QString longer = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && m.horizontalAdvance(longer) > *limit) {
            widths.push_back(m.horizontalAdvance(line));
            line = word;
        } else {
            line = longer;
        }
    }
    widths.push_back(m.horizontalAdvance(line));
    return widths;
}

}  // namespace

TextExtent measureTextExtent(const TextStyle& style, const QString& text, std::optional<double> wrapWidth,
                             const DeviceFonts& fonts) {
    QFontMetricsF m(deviceFont(style, fonts));
    constexpr double kTwips = 20;
    std::optional<double> limit;
    if (wrapWidth && std::isfinite(*wrapWidth)) limit = std::max(0.0, *wrapWidth - kGutter) * kTwips;
    std::vector<double> widths;
    for (const QString& paragraph : toFieldNewlines(text).split('\r')) {
        auto w = lineWidths(paragraph, m, limit);
        widths.insert(widths.end(), w.begin(), w.end());
    }
    TextExtent e;
    e.ascent = std::round(m.ascent()) / kTwips;
    e.descent = std::round(m.descent()) / kTwips;
    e.width = std::round(*std::max_element(widths.begin(), widths.end())) / kTwips;
    e.height = double(widths.size()) * (e.ascent + e.descent) + double(widths.size() - 1) * style.leading;
    e.textFieldWidth = limit ? *wrapWidth : e.width + kGutter;
    e.textFieldHeight = e.height + kGutter;
    return e;
}

}  // namespace flash
