#include "capture/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

namespace kinolux {

QRect DialogUnitsToPixels(const QWidget& widget, const QRect& units)
{
    const QFontMetrics metrics(widget.font());
    // Windows' average: the width of the 52 letters, halved and rounded, over 26.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int averageWidth = (letters / 26 + 1) / 2;
    const int height = metrics.height();
    auto across = [&](int u) { return u * averageWidth / 4; };
    auto down = [&](int u) { return u * height / 8; };
    return QRect(across(units.x()), down(units.y()), across(units.width()), down(units.height()));
}

}  // namespace kinolux
