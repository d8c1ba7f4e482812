#include "conversion_window/preview_picture.h"

#include "engine/cx_image.h"

#include <QPainter>

namespace kinolux {

void PreviewPicture::Show(const CxImage& image) {
    QImage next = image.ToQImage();
    sizeChanged_ = next.size() != image_.size();
    image_ = std::move(next);
    if (isVisible()) update();
}

QRect PreviewPicture::PlaceImage(QSize image, QRect area) {
    if (image.isEmpty() || area.isEmpty()) return {};
    QSize size = image;
    if (image.width() >= area.width() || image.height() >= area.height())
        size = image.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                 size.width(), size.height());
}

void PreviewPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(1, 1, -1, -1);
    if (sizeChanged_) {
        painter.fillRect(area, Qt::white);
        sizeChanged_ = false;
    }
    if (!image_.isNull()) painter.drawImage(PlaceImage(image_.size(), area), image_);
}

}  // namespace kinolux
