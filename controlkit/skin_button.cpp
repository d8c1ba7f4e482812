#include "controlkit/skin_button.h"

#include "controlkit/artwork.h"
#include "controlkit/outline_region.h"
#include "controlkit/textless_name.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <qdrawutil.h>

namespace kinolux {

namespace {

// Between an icon and its text.
constexpr int kIconGap = 5;

}  // namespace

SkinButton::SkinButton(const QString& text, QWidget* parent, Kind kind) : HoverPushButton(text, parent), kind_(kind) {
    setCheckable(kind != kPushButton);
    setAutoExclusive(kind == kRadioButton);
}

void SkinButton::SetBitmaps(int normal, int pressed, int hover, int disabled, int focus, int mask,
                            int drawMode, bool edge, int focusInset)
{
    faces_ = {normal, pressed, hover, disabled ? disabled : normal, focus, mask};
    drawMode_ = static_cast<DrawMode>(std::clamp(drawMode, int(kOneToOne), int(kTiled)));
    edge_ = edge;
    focusInset_ = std::max(0, focusInset);
    if (mask && drawMode_ == kOneToOne) resize(artwork::NaturalSize(mask));
    ApplyOutline();
    update();
}

void SkinButton::SetIcon(int id)
{
    icon_ = id;
    update();
}

QColor SkinButton::SetTextColor(const QColor& colour)
{
    const QColor previous = textColor_.isValid() ? textColor_ : palette().color(QPalette::ButtonText);
    textColor_ = colour;
    update();
    return previous;
}

void SkinButton::SetTooltipText(const QString& text) { setToolTip(text); }

int SkinButton::FaceShown() const
{
    if (!isEnabled()) return faces_.disabled;
    if (isDown() || isChecked()) return faces_.pressed;
    if (IsHovering() && faces_.hover) return faces_.hover;
    if (hasFocus() && faces_.focus) return faces_.focus;
    return faces_.normal;
}

void SkinButton::ApplyOutline()
{
    if (faces_.mask == 0) {
        outline_ = QRegion();
        clearMask();
        return;
    }
    // The outline is taken at one pixel per logical pixel: the window system
    // shapes windows in logical pixels whatever the display's scale.
    const QSize size = drawMode_ == kStretched ? this->size() : artwork::NaturalSize(faces_.mask);
    outline_ = OutlineRegion(artwork::Render(faces_.mask, size, 1.0));
    setMask(outline_);
}

void SkinButton::DrawFace(QPainter& painter, int id) const
{
    switch (drawMode_) {
    case kOneToOne:
        artwork::Draw(painter, id, QRect(QPoint(0, 0), artwork::NaturalSize(id)));
        break;
    case kStretched:
        artwork::Draw(painter, id, rect());
        break;
    case kTiled: {
        const qreal scale = devicePixelRatioF();
        const QPixmap tile = QPixmap::fromImage(artwork::Render(id, artwork::NaturalSize(id), scale));
        painter.drawTiledPixmap(rect(), tile);
        break;
    }
    }
}

void SkinButton::DrawIcon(QPainter& painter, QRect& textArea) const
{
    if (icon_ == 0) return;
    const QSize size = artwork::NaturalSize(icon_);
    QRect place(QPoint(0, 0), size);
    place.moveCenter(textArea.center());
    if (!text().isEmpty()) {
        // Icon and text side by side, centred together; on a narrow button
        // the icon keeps to the left edge and the text takes what is left.
        QString shown = text();
        shown.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        const int textWidth = fontMetrics().horizontalAdvance(shown);
        const int left = std::max(textArea.left(), textArea.center().x() - (size.width() + kIconGap + textWidth) / 2);
        place.moveLeft(left);
        textArea.setLeft(place.right() + 1 + kIconGap);
        textArea.setWidth(std::min(textWidth, textArea.width()));
    }
    artwork::Draw(painter, icon_, place);
}

void SkinButton::DrawText(QPainter& painter, const QRect& textArea) const
{
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
}

void SkinButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int margin = focusInset_ + 2;
    QRect textArea = rect().adjusted(margin, margin, -margin, -margin);
    const int face = FaceShown();
    if (face) {
        DrawFace(painter, face);
    } else {
        painter.fillRect(rect(), palette().button());
    }

    if (!isEnabled()) {
        DrawIcon(painter, textArea);
        if (edge_) qDrawWinPanel(&painter, rect(), palette(), false);
        // Embossed: a light copy, then the grey text one pixel up and left.
        painter.setPen(palette().color(QPalette::Light));
        DrawText(painter, textArea);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::ButtonText));
        DrawText(painter, textArea.translated(-1, -1));
        return;
    }

    const bool pushed = isDown() || isChecked();
    if (pushed) textArea.translate(1, 1);
    DrawIcon(painter, textArea);
    if (edge_) qDrawShadePanel(&painter, rect(), palette(), pushed, 1);
    if (!pushed && hasFocus() && focusInset_ > 0) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(focusInset_, focusInset_, -focusInset_, -focusInset_);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    painter.setPen(textColor_.isValid() ? textColor_ : palette().color(QPalette::ButtonText));
    DrawText(painter, textArea);
}

bool SkinButton::hitButton(const QPoint& pos) const
{
    return outline_.isEmpty() ? QPushButton::hitButton(pos) : outline_.contains(pos);
}

void SkinButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void SkinButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    if (faces_.mask && drawMode_ == kStretched) ApplyOutline();
}

bool SkinButton::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTipChange) NameTextlessButtonByTooltip(*this);
    return QPushButton::event(event);
}

}  // namespace kinolux
