#include "controlkit/hover_push_button.h"

#include <QEnterEvent>
#include <QMouseEvent>

namespace kinolux {

void HoverPushButton::SetHovering(bool hovering) {
    if (hover_ == hovering) return;
    hover_ = hovering;
    update();
}

void HoverPushButton::enterEvent(QEnterEvent* event) {
    // Dragged in with the button held, it is not hovered but pressed on.
    if (!(event->buttons() & Qt::LeftButton)) SetHovering(true);
    QPushButton::enterEvent(event);
}

void HoverPushButton::leaveEvent(QEvent* event) {
    SetHovering(false);
    QPushButton::leaveEvent(event);
}

void HoverPushButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) SetHovering(false);
    QPushButton::mousePressEvent(event);
}

void HoverPushButton::mouseMoveEvent(QMouseEvent* event) {
    // The base class lets the pushed look follow the pointer while pressing;
    // after a press, hovering comes back once the pointer moves over the
    // button's hit area again.
    QPushButton::mouseMoveEvent(event);
    if (!(event->buttons() & Qt::LeftButton) && hitButton(event->position().toPoint())) SetHovering(true);
}

}  // namespace kinolux
