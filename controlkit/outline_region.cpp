#include "controlkit/outline_region.h"

#include <QPainter>
#include <QRect>
#include <vector>

namespace kinolux {

namespace {

bool IsWhite(QRgb pixel) { return (pixel & 0xFFFFFF) == 0xFFFFFF; }

}  // namespace

QRegion OutlineRegion(const QImage& mask)
{
    if (mask.isNull()) return {};
    // A transparent pixel is outside too: the picture is flattened on white.
    QImage flat(mask.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, mask);
    }
    // One-pixel-high runs, combined in one step: uniting them one by one
    // would cost a region operation per run.
    std::vector<QRect> runs;
    for (int y = 0; y < flat.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(flat.constScanLine(y));
        int x = 0;
        while (x < flat.width()) {
            while (x < flat.width() && IsWhite(row[x])) ++x;
            const int start = x;
            while (x < flat.width() && !IsWhite(row[x])) ++x;
            if (x > start) runs.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    region.setRects(runs.data(), int(runs.size()));
    return region;
}

}  // namespace kinolux
