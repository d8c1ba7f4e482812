#include "flash/render/bitmap_services.h"

#include <QPainter>

#include "flash/render/blend.h"
#include "flash/render/filters.h"
#include "flash/render/paint.h"
#include "flash/render/renderer.h"

namespace flash::render {
namespace {

class BitmapServices : public RenderServices {
public:
    void draw(QImage& target, const Player& player, const DisplayObject& object, const QTransform& matrix,
              const ColorTransform& cx, swf::BlendMode mode, std::optional<QRect> clip, bool smooth) override {
        renderer_.drawInto(target, player, object, matrix, cx, mode, clip, smooth);
    }

    void drawImage(QImage& target, const QImage& source, const QTransform& matrix, const ColorTransform& cx,
                   swf::BlendMode mode, std::optional<QRect> clip, bool smooth) override {
        QImage layer(target.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        {
            QPainter lp(&layer);
            lp.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
            if (clip) lp.setClipRect(*clip);
            lp.setTransform(matrix);
            lp.drawImage(QPointF(0, 0), cx.isIdentity() ? source : transformBitmap(source, cx));
        }
        QPainter p(&target);
        compositeLayer(p, target, layer, QPoint(), mode, 1.0);
    }

    void filter(QImage& image, const swf::Filter& f) override { applyFilter(image, f, 1.0); }

private:
    Renderer renderer_;
};

}  // namespace

std::unique_ptr<RenderServices> makeBitmapServices() { return std::make_unique<BitmapServices>(); }

}  // namespace flash::render
