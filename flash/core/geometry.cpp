#include "flash/core/geometry.h"

#include <cmath>

namespace flash {

QTransform toQTransform(const swf::Matrix& m) {
    return QTransform(m.a / 65536.0, m.b / 65536.0, m.c / 65536.0, m.d / 65536.0, m.tx, m.ty);
}

QTransform inverseOrCollapse(const QTransform& m) {
    bool invertible = false;
    const QTransform inverse = m.inverted(&invertible);
    return invertible ? inverse : QTransform(0, 0, 0, 0, 0, 0);
}

QRectF toQRectF(const swf::Rect& r) {
    return QRectF(QPointF(r.xMin, r.yMin), QPointF(r.xMax, r.yMax)).normalized();
}

QRectF characterBounds(const Character* c, std::uint16_t ratio) {
    if (!c) return {};
    if (auto* s = c->as<swf::DefineShape>()) return toQRectF(s->bounds);
    if (auto* t = c->as<swf::DefineText>()) return toQTransform(t->matrix).mapRect(toQRectF(t->bounds));
    if (auto* e = c->as<swf::DefineEditText>()) return toQRectF(e->bounds);
    if (auto* m = c->as<swf::DefineMorphShape>()) {
        double k = ratio / 65535.0;
        QRectF a = toQRectF(m->start.bounds), b = toQRectF(m->end.bounds);
        return QRectF(QPointF(a.left() + (b.left() - a.left()) * k, a.top() + (b.top() - a.top()) * k),
                      QPointF(a.right() + (b.right() - a.right()) * k, a.bottom() + (b.bottom() - a.bottom()) * k));
    }
    if (auto* v = c->as<swf::DefineVideoStream>()) return QRectF(0, 0, v->width * 20.0, v->height * 20.0);
    if (auto* b = c->as<swf::DefineBitsLossless>()) return QRectF(0, 0, b->width * 20.0, b->height * 20.0);
    return {};
}

}  // namespace flash
