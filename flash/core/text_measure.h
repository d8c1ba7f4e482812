// The size text takes in one format, in pixels (TextFormat.getTextExtent).
#pragma once

#include <optional>

#include "flash/avm1/host.h"
#include "flash/core/device_fonts.h"

namespace flash {

// Lines end at newlines and, with a width, where words no longer fit.
kinolux::avm1::TextExtent measureTextExtent(const TextStyle& style, const QString& text,
                                            std::optional<double> wrapWidth, const DeviceFonts& fonts = {});

}  // namespace flash
