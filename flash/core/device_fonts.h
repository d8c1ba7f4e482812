// The system fonts that stand in for device fonts, for drawing text fields
// and for measuring text.
#pragma once

#include <QFont>

#include "flash/core/rich_text.h"

namespace flash {

// The faces _sans, _serif and _typewriter and the names they cover.
struct DeviceFonts {
    QString sans = "DejaVu Sans", serif = "DejaVu Serif", typewriter = "DejaVu Sans Mono";
};

// The system font for a format, sized in twips.
QFont deviceFont(const TextStyle& format, const DeviceFonts& fonts);

}  // namespace flash
