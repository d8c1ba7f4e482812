// Dialog-template rectangles in dialog units, turned into pixels from the
// widget's font as Windows turns them: across by a quarter of the average
// character width, down by an eighth of the character height.
#pragma once

#include <QRect>

class QWidget;

namespace kinolux {

QRect DialogUnitsToPixels(const QWidget& widget, const QRect& units);

}  // namespace kinolux
