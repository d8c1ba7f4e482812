#include "controlkit/shades.h"

#include <algorithm>

namespace kinolux {

namespace {

template <typename Channel>
QColor EachChannel(const QColor& colour, Channel channel)
{
    return QColor(channel(colour.red()), channel(colour.green()), channel(colour.blue()));
}

}  // namespace

QColor Lighten(const QColor& colour, int amount)
{
    return EachChannel(colour, [amount](int c) { return c + amount > 255 ? c : c + amount; });
}

QColor Darken(const QColor& colour, int amount)
{
    return EachChannel(colour, [amount](int c) { return c - amount < 0 ? c : c - amount; });
}

QColor Dim(const QColor& colour, double factor)
{
    factor = std::clamp(factor, 0.0, 1.0);
    return EachChannel(colour, [factor](int c) { return int(c * factor); });
}

QColor Brighten(const QColor& colour, double factor)
{
    factor = std::max(factor, 1.0);
    return EachChannel(colour, [factor](int c) { return std::min(255, int(c * factor)); });
}

QColor Midpoint(const QColor& a, const QColor& b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

}  // namespace kinolux
