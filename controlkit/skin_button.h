// A push button drawn from our pictures: a face for rest, hover, pressed,
// focus and disabled, an optional outline that shapes the button and its
// hit area, an optional icon left of the text. It also serves as a check
// box or a radio button, whose checked state shows the pressed face.
#pragma once

#include "controlkit/hover_push_button.h"

#include <QColor>
#include <QRegion>

namespace kinolux {

class SkinButton : public HoverPushButton {
public:
    enum Kind { kPushButton = 0, kCheckBox = 2, kRadioButton = 4 };
    enum DrawMode { kOneToOne = 0, kStretched = 1, kTiled = 2 };

    SkinButton(const QString& text, QWidget* parent, Kind kind = kPushButton);

    // Picture ids of the artwork, 0 for none. The disabled face defaults to
    // the normal one; a mask shapes the button (and, drawn one to one, gives
    // it the mask's size). The draw mode is held to 0..2, the focus inset
    // (0: no focus rectangle) to 0 and above.
    void SetBitmaps(int normal, int pressed, int hover, int disabled, int focus, int mask,
                    int drawMode = kStretched, bool edge = false, int focusInset = 0);
    // The picture drawn left of the text (centred when there is no text).
    void SetIcon(int id);
    // Returns the colour used until now.
    QColor SetTextColor(const QColor& colour);
    void SetTooltipText(const QString& text);

    Kind ButtonKind() const { return kind_; }
    // The picture the button shows in its present state, 0 for none.
    int FaceShown() const;
    // The shaped outline, empty when the button has no mask.
    const QRegion& Outline() const { return outline_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Faces {
        int normal = 0, pressed = 0, hover = 0, disabled = 0, focus = 0, mask = 0;
    };

    void ApplyOutline();
    void DrawFace(QPainter& painter, int id) const;
    void DrawIcon(QPainter& painter, QRect& textArea) const;
    void DrawText(QPainter& painter, const QRect& textArea) const;

    Kind kind_;
    Faces faces_;
    DrawMode drawMode_ = kStretched;
    bool edge_ = false;
    int focusInset_ = 0;
    int icon_ = 0;
    QColor textColor_;  // invalid: the palette's button text
    QRegion outline_;
};

}  // namespace kinolux
