// What the kit's tests share: the application, a window to hold controls,
// and pictures of a widget and of an SVG source at a chosen scale.
#pragma once

#include "tests/platform/test_application.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QWidget>
#include <memory>

namespace kinolux::testing {

// A shown, active top-level window: focus and mouse input reach its children.
inline std::unique_ptr<QWidget> ShownWindow(QSize size = QSize(300, 200))
{
    auto window = std::make_unique<QWidget>();
    window->resize(size);
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    QCoreApplication::processEvents();
    return window;
}

// The widget as a display of `scale` device pixels per logical pixel shows it.
inline QImage Picture(QWidget& widget, qreal scale)
{
    QImage image((QSizeF(widget.size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// An SVG source of resources/artwork rendered whole at `size` and `scale`.
inline QImage SourcePicture(const char* file, QSize size, qreal scale)
{
    QSvgRenderer renderer(QStringLiteral(KINOLUX_SOURCE_DIR "/resources/artwork/%1.svg").arg(QLatin1String(file)));
    QImage image((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

// The largest difference of one channel between two pictures of one size.
inline int LargestDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return largest;
}

}  // namespace kinolux::testing
