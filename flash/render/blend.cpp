#include "flash/render/blend.h"

#include <algorithm>

namespace flash::render {
namespace {

QPainter::CompositionMode qtMode(swf::BlendMode mode) {
    using M = swf::BlendMode;
    switch (mode) {
    case M::Multiply: return QPainter::CompositionMode_Multiply;
    case M::Screen: return QPainter::CompositionMode_Screen;
    case M::Lighten: return QPainter::CompositionMode_Lighten;
    case M::Darken: return QPainter::CompositionMode_Darken;
    case M::Difference: return QPainter::CompositionMode_Difference;
    case M::Add: return QPainter::CompositionMode_Plus;
    case M::Overlay: return QPainter::CompositionMode_Overlay;
    case M::HardLight: return QPainter::CompositionMode_HardLight;
    case M::Alpha: return QPainter::CompositionMode_DestinationIn;
    case M::Erase: return QPainter::CompositionMode_DestinationOut;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

// Subtract and invert have no Qt mode; both work on premultiplied pixels
// where the layer covers the target.
void manualBlend(QImage& target, const QImage& layer, QPoint at, swf::BlendMode mode, double opacity) {
    QRect area = QRect(at, layer.size()) & target.rect();
    int op = int(opacity * 255);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y));
        const auto* src = reinterpret_cast<const QRgb*>(layer.constScanLine(y - at.y()));
        for (int x = area.left(); x <= area.right(); ++x) {
            QRgb s = src[x - at.x()], d = dst[x];
            int sa = qAlpha(s) * op / 255;
            if (sa == 0) continue;
            int r, g, b;
            if (mode == swf::BlendMode::Subtract) {
                r = std::max(0, qRed(d) - qRed(s) * op / 255);
                g = std::max(0, qGreen(d) - qGreen(s) * op / 255);
                b = std::max(0, qBlue(d) - qBlue(s) * op / 255);
            } else {
                // Invert: the backdrop's colours turned over where the layer is.
                int da = qAlpha(d);
                auto inv = [&](int c) { return c + ((da - c) - c) * sa / 255; };
                r = inv(qRed(d));
                g = inv(qGreen(d));
                b = inv(qBlue(d));
            }
            dst[x] = qRgba(r, g, b, qAlpha(d));
        }
    }
}

}  // namespace

void compositeLayer(QPainter& p, QImage& target, const QImage& layer, QPoint at, swf::BlendMode mode, double opacity) {
    if (mode == swf::BlendMode::Subtract || mode == swf::BlendMode::Invert) {
        manualBlend(target, layer, at, mode, opacity);
        return;
    }
    p.save();
    p.resetTransform();
    p.setOpacity(opacity);
    p.setCompositionMode(qtMode(mode));
    p.drawImage(at, layer);
    p.restore();
}

}  // namespace flash::render
