#include "controlkit/color_button.h"

#include "controlkit/shades.h"

#include <QMouseEvent>
#include <QPainter>

namespace kinolux {

ColorButton::ColorButton(const QString& text, QWidget* parent) : HoverPushButton(text, parent) {
    for (int slot = 0; slot < kSlots; slot += 2) {
        colours_[slot] = palette().color(QPalette::Button);
        colours_[slot + 1] = palette().color(QPalette::ButtonText);
    }
}

int ColorButton::SetColor(int slot, const QColor& colour, bool redraw)
{
    if (slot < 0 || slot >= kSlots) return kSlotRefused;
    colours_[slot] = colour;
    if (redraw) update();
    return kAccepted;
}

QColor ColorButton::Color(int slot) const { return slot >= 0 && slot < kSlots ? colours_[slot] : QColor(); }

void ColorButton::SetTooltipText(const QString& text, bool activate)
{
    setToolTip(activate ? text : QString());
    if (this->text().isEmpty()) setAccessibleName(text);
}

int ColorButton::StateSlot() const
{
    if (IsHovering() || isDown()) return 0;
    if (hasFocus()) return 4;
    return 2;
}

QColor ColorButton::FaceColor() const { return colours_[StateSlot()]; }

void ColorButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int slot = StateSlot();
    const QColor face = colours_[slot];
    // A thin rim keeps a white face visible on a light window.
    painter.setPen(QPen(IsHovering() || hasFocus() ? palette().color(QPalette::Highlight) : Darken(face, 60), 1));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.setPen(isEnabled() ? colours_[slot + 1] : palette().color(QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
}

}  // namespace kinolux
