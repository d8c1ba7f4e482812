// The progress window's picture of the last frame or still image: drawn
// inside its rectangle less one pixel on each side, at its own size and
// centred when it fits, else scaled down with its aspect ratio kept.
#pragma once

#include <QImage>
#include <QWidget>

namespace kinolux {

class CxImage;

class PreviewPicture : public QWidget {
public:
    explicit PreviewPicture(QWidget* parent = nullptr) : QWidget(parent) {}
    // Keeps its own copy of the image.
    void Show(const CxImage& image);

    // Where an image of `image` size lands in `area`.
    static QRect PlaceImage(QSize image, QRect area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    bool sizeChanged_ = false;
};

}  // namespace kinolux
