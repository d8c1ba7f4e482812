// A push button that knows whether the pointer rests on it, for the kit's
// buttons whose hover look differs from their rest and pressed looks:
// hovering starts when the pointer comes onto the button with no mouse
// button held (or moves over its hit area again after a press), and ends
// when it leaves or presses.
#pragma once

#include <QPushButton>

namespace kinolux {

class HoverPushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

    bool IsHovering() const { return hover_; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void SetHovering(bool hovering);

    bool hover_ = false;
};

}  // namespace kinolux
