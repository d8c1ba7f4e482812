#include "shell/artwork_picture.h"

#include "controlkit/artwork.h"

#include <QPainter>
#include <QStyle>

namespace kinolux {

ArtworkPicture::ArtworkPicture(int pictureId, Qt::Alignment alignment, QWidget* parent)
    : QWidget(parent), pictureId_(pictureId), alignment_(alignment) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ArtworkPicture::SetCaption(const QString& text) {
    caption_ = text;
    update();
}

void ArtworkPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRect room = rect();
    if (!caption_.isEmpty()) {
        constexpr int kMargin = 6;
        const QRect textRoom = room.adjusted(kMargin, 0, -kMargin, 0);
        const QRect needed =
            painter.fontMetrics().boundingRect(textRoom, Qt::TextWordWrap | Qt::AlignHCenter, caption_);
        const QRect textArea(textRoom.left(), room.bottom() - needed.height() - kMargin, textRoom.width(),
                             needed.height());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(textArea, Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop, caption_);
        room.setBottom(textArea.top() - 1);
    }
    const QSize natural = artwork::NaturalSize(pictureId_);
    if (natural.isEmpty() || room.isEmpty()) return;
    const QSize fitted = natural.scaled(room.size(), Qt::KeepAspectRatio);
    artwork::Draw(painter, pictureId_, QStyle::alignedRect(layoutDirection(), alignment_, fitted, room));
}

}  // namespace kinolux
