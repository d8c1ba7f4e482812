#include "flash/render/view.h"

#include <algorithm>

namespace flash::render {

QTransform viewTransform(const QRectF& stage, QSize picture, ScaleMode mode, double zoom) {
    double sw = std::max(stage.width() / 20.0, 1.0);
    double sh = std::max(stage.height() / 20.0, 1.0);
    double W = picture.width(), H = picture.height();
    double sx = 1, sy = 1;
    switch (mode) {
    case ScaleMode::ShowAll: sx = sy = std::min(W / sw, H / sh); break;
    case ScaleMode::NoBorder: sx = sy = std::max(W / sw, H / sh); break;
    case ScaleMode::ExactFit:
        sx = W / sw;
        sy = H / sh;
        break;
    case ScaleMode::NoScale: break;
    }
    if (zoom > 0) {
        sx *= zoom;
        sy *= zoom;
    }
    double ox = (W - sw * sx) / 2.0, oy = (H - sh * sy) / 2.0;
    QTransform t;
    t.translate(ox, oy);
    t.scale(sx / 20.0, sy / 20.0);
    t.translate(-stage.left(), -stage.top());
    return t;
}

}  // namespace flash::render
