// The size text takes in one format, in pixels (TextFormat.getTextExtent).
#pragma once

#include <optional>

#include "flash/core/device_fonts.h"

namespace flash {

// Pixels.
struct TextExtent {
    double ascent = 0, descent = 0, width = 0, height = 0, textFieldWidth = 0, textFieldHeight = 0;
};

// Lines end at newlines and, with a width, where words no longer fit.
TextExtent measureTextExtent(const TextStyle& style, const QString& text, std::optional<double> wrapWidth,
                             const DeviceFonts& fonts = {});

}  // namespace flash
