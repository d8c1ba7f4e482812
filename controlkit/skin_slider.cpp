#include "controlkit/skin_slider.h"

#include "controlkit/shades.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <algorithm>

namespace kinolux {

namespace {

constexpr int kShadeStep = 51;
constexpr int kThumbWidth = 11;
constexpr int kChannelHeight = 4;
constexpr int kCorner = 2;

}  // namespace

SkinSlider::SkinSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    thumbColour_ = palette().color(QPalette::Button);
    channelColour_ = palette().color(QPalette::Base);
    ComputeShades();
}

void SkinSlider::SetThumbColor(const QColor& colour)
{
    thumbColour_ = colour;
    ComputeShades();
    update();
}

void SkinSlider::SetChannelColor(const QColor& colour)
{
    channelColour_ = colour;
    ComputeShades();
    update();
}

void SkinSlider::SetSelection(int start, int end)
{
    selectionStart_ = start;
    selectionEnd_ = end;
    update();
}

void SkinSlider::ComputeShades()
{
    const QPalette& colours = palette();
    shades_.face = thumbColour_;
    shades_.light1 = Lighten(thumbColour_, kShadeStep);
    shades_.light2 = Lighten(shades_.light1, kShadeStep);
    shades_.dark1 = Darken(thumbColour_, kShadeStep);
    shades_.dark2 = Darken(shades_.dark1, kShadeStep);
    shades_.shadowMid = Midpoint(colours.color(QPalette::Button), colours.color(QPalette::Mid));
    shades_.darkShadowMid = Midpoint(colours.color(QPalette::Mid), colours.color(QPalette::Shadow));
}

int SkinSlider::PositionOf(int value) const
{
    const int span = std::max(0, width() - kThumbWidth);
    return QStyle::sliderPositionFromValue(minimum(), maximum(), value, span) + kThumbWidth / 2;
}

int SkinSlider::ValueAt(int x) const
{
    const int span = std::max(0, width() - kThumbWidth);
    return QStyle::sliderValueFromPosition(minimum(), maximum(), x - kThumbWidth / 2, span);
}

QRect SkinSlider::ChannelRect() const
{
    // With tick marks the channel sits off-centre, leaving them room.
    const int centre = tickPosition() == TicksAbove ? height() * 2 / 3
                       : tickPosition() == TicksBelow ? height() / 3 : height() / 2;
    return QRect(kThumbWidth / 2, centre - kChannelHeight / 2, std::max(0, width() - kThumbWidth + 1), kChannelHeight);
}

QRect SkinSlider::ThumbRect() const
{
    const int x = PositionOf(sliderPosition()) - kThumbWidth / 2;
    const int h = std::max(6, std::min(height() - 2, 20));
    const QRect channel = ChannelRect();
    return QRect(x, channel.center().y() - h / 2, kThumbWidth, h);
}

QRect SkinSlider::SelectionRect() const
{
    if (selectionEnd_ < selectionStart_) return {};
    const QRect channel = ChannelRect().adjusted(1, 1, -1, -1);
    const int left = PositionOf(std::clamp(selectionStart_, minimum(), maximum()));
    const int right = PositionOf(std::clamp(selectionEnd_, minimum(), maximum()));
    return QRect(QPoint(left, channel.top()), QPoint(std::max(left, right), channel.bottom()));
}

void SkinSlider::DrawChannel(QPainter& painter) const
{
    QRect channel = ChannelRect();
    if (tickPosition() != NoTicks) channel.adjust(0, 1, 0, -1);
    painter.setPen(shades_.shadowMid);
    painter.setBrush(isEnabled() ? channelColour_ : palette().color(QPalette::Button));
    painter.drawRoundedRect(QRectF(channel).adjusted(0.5, 0.5, -0.5, -0.5), kCorner, kCorner);
    const QRect band = SelectionRect();
    if (!band.isEmpty()) painter.fillRect(band, palette().color(QPalette::Highlight));
}

void SkinSlider::DrawGrips(QPainter& painter, const QRect& thumb) const
{
    if (!isEnabled() || thumb.width() <= 5) return;
    const int lines = thumb.width() > 9 ? 4 : 2;
    const int top = thumb.top() + thumb.height() / 4 + 1;
    const int bottom = thumb.bottom() - thumb.height() / 4 - 1;
    const int left = thumb.center().x() - lines / 2 + 1;
    for (int i = 0; i < lines; ++i) {
        const int x = left + i - (lines == 4 ? 1 : 0);
        painter.setPen(i % 2 == 0 ? shades_.light1 : shades_.dark1);
        painter.drawLine(x, top, x, bottom);
        if (i % 2 == 0) {
            painter.setPen(shades_.light2);
            painter.drawPoint(x, top - 1);
        }
    }
}

void SkinSlider::DrawThumb(QPainter& painter) const
{
    const QRect thumb = ThumbRect();
    const QColor face = isSliderDown() ? Darken(shades_.face, kShadeStep) : shades_.face;
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (tickPosition() == TicksBothSides) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(face);
        painter.drawRoundedRect(thumb, kCorner, kCorner);
        painter.setPen(shades_.light1);
        painter.drawLine(thumb.left() + 1, thumb.top(), thumb.right() - 1, thumb.top());
        painter.drawLine(thumb.left(), thumb.top() + 1, thumb.left(), thumb.bottom() - 1);
        painter.setPen(shades_.dark1);
        painter.drawLine(thumb.left() + 1, thumb.bottom(), thumb.right() - 1, thumb.bottom());
        painter.drawLine(thumb.right(), thumb.top() + 1, thumb.right(), thumb.bottom() - 1);
    } else {
        // A pentagon whose point marks the value, up for ticks above, else down.
        const bool up = tickPosition() == TicksAbove;
        const int tip = thumb.width() / 2;
        const int cx = thumb.left() + tip;
        QPolygon shape;
        if (up)
            shape << QPoint(cx, thumb.top()) << QPoint(thumb.right(), thumb.top() + tip) << thumb.bottomRight()
                  << thumb.bottomLeft() << QPoint(thumb.left(), thumb.top() + tip);
        else
            shape << thumb.topLeft() << thumb.topRight() << QPoint(thumb.right(), thumb.bottom() - tip)
                  << QPoint(cx, thumb.bottom()) << QPoint(thumb.left(), thumb.bottom() - tip);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(shades_.dark2, 1));
        painter.setBrush(face);
        painter.translate(0.5, 0.5);
        painter.drawPolygon(shape);
        if (thumb.width() > 5) {
            painter.setPen(shades_.light1);
            painter.drawLine(thumb.left() + 1, up ? thumb.top() + tip : thumb.top() + 1, thumb.left() + 1,
                             up ? thumb.bottom() - 1 : thumb.bottom() - tip);
            painter.setPen(shades_.dark1);
            painter.drawLine(thumb.right() - 1, up ? thumb.top() + tip : thumb.top() + 1, thumb.right() - 1,
                             up ? thumb.bottom() - 1 : thumb.bottom() - tip);
        }
        painter.translate(-0.5, -0.5);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawGrips(painter, thumb);
}

void SkinSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawChannel(painter);
    DrawThumb(painter);
}

void SkinSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || minimum() == maximum()) {
        event->ignore();
        return;
    }
    const int x = event->position().toPoint().x();
    if (ThumbRect().contains(event->position().toPoint())) {
        dragOffset_ = x - PositionOf(sliderPosition());
        setSliderDown(true);
    } else {
        // A click beside the thumb moves it by a page towards the click.
        triggerAction(x < PositionOf(sliderPosition()) ? SliderPageStepSub : SliderPageStepAdd);
    }
    event->accept();
}

void SkinSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (!isSliderDown()) {
        event->ignore();
        return;
    }
    setSliderPosition(ValueAt(event->position().toPoint().x() - dragOffset_));
    event->accept();
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (!isSliderDown()) {
        event->ignore();
        return;
    }
    setSliderDown(false);
    event->accept();
}

}  // namespace kinolux
