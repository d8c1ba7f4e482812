// A button that shows a colour: a face colour and a text colour for rest,
// for hover or press, and for keyboard focus.
#pragma once

#include "controlkit/hover_push_button.h"

#include <QColor>
#include <array>

namespace kinolux {

class ColorButton : public HoverPushButton {
public:
    // Slot 0 face and 1 text while hovered or pressed, 2 and 3 at rest,
    // 4 and 5 while focused.
    static constexpr int kSlots = 6;
    static constexpr int kAccepted = 0;
    static constexpr int kSlotRefused = 3;

    ColorButton(const QString& text, QWidget* parent);

    // kSlotRefused, changing nothing, for a slot outside 0..5.
    int SetColor(int slot, const QColor& colour, bool redraw = true);
    QColor Color(int slot) const;
    // An inactive tooltip is not shown; the text still names the button for
    // screen readers.
    void SetTooltipText(const QString& text, bool activate = true);

    // The face colour of the present state.
    QColor FaceColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int StateSlot() const;

    std::array<QColor, kSlots> colours_;
};

}  // namespace kinolux
