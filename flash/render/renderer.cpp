#include "flash/render/renderer.h"

#include <QPainter>

#include "flash/core/bitmap_object.h"
#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/geometry.h"
#include "flash/core/bitmap_decoder.h"
#include "flash/render/blend.h"
#include "flash/render/filters.h"
#include "flash/render/inline_fills.h"
#include "flash/core/morph.h"

namespace flash::render {
namespace {

constexpr std::size_t kMorphCacheSize = 256;
constexpr int kMaxLayerDepth = 32;  // nested layers beyond this draw directly

const DisplayList* childrenOf(const DisplayObject& obj) {
    if (auto* clip = dynamic_cast<const MovieClip*>(&obj)) return &clip->children();
    if (auto* button = dynamic_cast<const Button*>(&obj)) return &button->children();
    return nullptr;
}

QRect deviceRect(const QPainter& p) { return QRect(0, 0, p.device()->width(), p.device()->height()); }

QImage transparentImage(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

void Renderer::render(const Player& player, QImage& target, const RenderOptions& options) {
    usePlayer(player);
    swf::Color bg = player.backgroundColor();
    target.fill(options.background.value_or(QColor(bg.r, bg.g, bg.b)));
    view_ = viewTransform(player.stageRect(), target.size(), options.scaleMode, options.zoom);
    antialias_ = options.antialias;
    deviceFonts_ = options.deviceFonts;
    stageScale_ = std::sqrt(std::abs(view_.determinant())) * 20.0;
    paintWithInlineFills([&] {
        QPainter p(&target);
        startPainter(p);
        for (const auto& [n, level] : player.levels()) drawObject(p, *level, view_, ColorTransform{});
        if (const DisplayObject* focus = player.focusHighlight()) drawFocusHighlight(p, *focus);
    });
    videos_.sweep();
}

// A yellow frame three stage pixels wide, inside the object's bounds on
// the stage, over everything else.
void Renderer::drawFocusHighlight(QPainter& p, const DisplayObject& obj) {
    const QRectF box = (obj.worldMatrix() * view_).mapRect(obj.localBounds());
    if (box.isEmpty()) return;
    const double w = std::min({3.0 * stageScale_, box.width() / 2, box.height() / 2});
    const QColor yellow(255, 255, 0);
    p.save();
    p.resetTransform();
    p.fillRect(QRectF(box.left(), box.top(), box.width(), w), yellow);
    p.fillRect(QRectF(box.left(), box.bottom() - w, box.width(), w), yellow);
    p.fillRect(QRectF(box.left(), box.top() + w, w, box.height() - 2 * w), yellow);
    p.fillRect(QRectF(box.right() - w, box.top() + w, w, box.height() - 2 * w), yellow);
    p.restore();
}

void Renderer::usePlayer(const Player& player) {
    // Caches point into the movie's tags: a new player (even at the same
    // address as a freed one) starts them afresh.
    if (player_ == &player && playerSerial_ == player.serial()) return;
    shapes_.clear();
    morphs_.clear();
    morphOrder_.clear();
    bitmaps_.clear();
    clampedBitmaps_.clear();
    glyphs_ = GlyphCache();
    problems_.clear();
    player_ = &player;
    playerSerial_ = player.serial();
}

void Renderer::drawInto(QImage& target, const Player& player, const DisplayObject& obj, const QTransform& matrix,
                        const ColorTransform& cx, swf::BlendMode mode, std::optional<QRect> clip, bool smooth) {
    usePlayer(player);
    // Masks a script set are placed by the stage: the view is the one that
    // puts this object where the matrix says.
    bool invertible = false;
    const QTransform toObject = obj.worldMatrix().inverted(&invertible);
    view_ = invertible ? toObject * matrix : matrix;
    stageScale_ = std::sqrt(std::abs(matrix.determinant())) * 20.0;
    antialias_ = true;
    QImage layer = transparentImage(target.size());
    {
        QPainter lp(&layer);
        startPainter(lp);
        lp.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        if (clip) lp.setClipRect(*clip);
        ++layerDepth_;
        // The drawn object's own mask stands where it stands on the stage,
        // seen through the matrix as if the object were at the origin.
        if (const DisplayObject* mask = obj.maskObject()) {
            const QTransform maskParent = (mask->parent() ? mask->parent()->worldMatrix() : QTransform()) * matrix;
            drawThroughMask(lp, *mask, maskParent, swf::BlendMode::Normal, false,
                            [&](QPainter& cp) { drawContent(cp, obj, matrix, cx); });
        } else {
            drawContent(lp, obj, matrix, cx);
        }
        --layerDepth_;
    }
    QPainter p(&target);
    compositeLayer(p, target, layer, QPoint(), mode, 1.0);
}

QImage Renderer::picture(const Player& player, QSize size, const RenderOptions& options) {
    if (size.isEmpty()) size = player.stageSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull()) render(player, image, options);
    return image;
}

void Renderer::startPainter(QPainter& p) const {
    p.setRenderHint(QPainter::Antialiasing, antialias_);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

const Library& Renderer::libraryOf(const DisplayObject& obj) const {
    if (obj.character() && obj.character()->owner) return *obj.character()->owner;
    if (obj.kind() == ObjectKind::MovieClip) return static_cast<const MovieClip&>(obj).library();
    const MovieClip* parent = obj.parentClip();
    return parent ? parent->library() : player_->library();
}

PaintStyle Renderer::paintStyle(const ColorTransform& cx, const Library* library) {
    PaintStyle ps;
    ps.colorTransform = &cx;
    ps.coverageOnly = coverageOnly_;
    if (library) {
        ps.bitmaps = [this, library](swf::CharacterId id, bool clamped) {
            const Character* c = library->get(id);
            return clamped ? clampedBitmap(c) : bitmap(c);
        };
    }
    return ps;
}

void Renderer::drawChildren(QPainter& p, const Children& list, const QTransform& world, const ColorTransform& cx) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        const DisplayObject* obj = list[i];
        if (obj->isMask() && !coverageOnly_) continue;  // a script's mask shows only as a mask
        if (obj->clipDepth > 0) {
            Children masked;
            std::size_t j = i + 1;
            while (j < list.size() && list[j]->depth <= obj->clipDepth) masked.push_back(list[j++]);
            drawMasked(p, *obj, masked, world, cx);
            i = j - 1;
            continue;
        }
        drawObject(p, *obj, world, cx);
    }
}

void Renderer::drawObject(QPainter& p, const DisplayObject& obj, const QTransform& parentWorld,
                          const ColorTransform& parentCx) {
    if (!obj.visible && !coverageOnly_) return;
    QTransform world = obj.matrix() * parentWorld;
    ColorTransform cx = parentCx * obj.colorTransform;
    if (!coverageOnly_ && cx.mul[3] <= 0 && cx.add[3] <= 0 && obj.blendMode != swf::BlendMode::Erase) return;
    // Alpha and erase work on an enclosing layer; with none they show nothing.
    bool punches = obj.blendMode == swf::BlendMode::Alpha || obj.blendMode == swf::BlendMode::Erase;
    if (punches && layerDepth_ == 0 && !coverageOnly_) return;
    if (obj.maskObject() && !coverageOnly_)
        drawScriptMasked(p, obj, world, cx);
    else
        drawUnmasked(p, obj, world, cx, obj.blendMode);
}

void Renderer::drawUnmasked(QPainter& p, const DisplayObject& obj, const QTransform& world, const ColorTransform& cx,
                            swf::BlendMode blend) {
    bool layered = !coverageOnly_ && layerDepth_ < kMaxLayerDepth &&
                   (!obj.filters.empty() || blend != swf::BlendMode::Normal);
    if (layered)
        drawLayered(p, obj, world, cx, blend);
    else
        drawContent(p, obj, world, cx);
}

// The mask is drawn where it stands on the stage, wherever the masked
// object is: the device offset of the object's own transform carries over.
void Renderer::drawScriptMasked(QPainter& p, const DisplayObject& obj, const QTransform& world, const ColorTransform& cx) {
    const DisplayObject& mask = *obj.maskObject();
    bool invertible = false;
    const QTransform offset = (obj.worldMatrix() * view_).inverted(&invertible) * world;
    if (!invertible) return;
    const QTransform maskParent = (mask.parent() ? mask.parent()->worldMatrix() : QTransform()) * view_ * offset;
    // Cached as bitmaps, both of them, the mask's alpha is what cuts.
    const bool byAlpha = obj.cacheAsBitmap && mask.cacheAsBitmap;
    drawThroughMask(p, mask, maskParent, obj.blendMode, byAlpha,
                    [&](QPainter& cp) { drawUnmasked(cp, obj, world, cx, swf::BlendMode::Normal); });
}

void Renderer::drawThroughMask(QPainter& p, const DisplayObject& mask, const QTransform& maskParent, swf::BlendMode blend,
                               bool byAlpha, const std::function<void(QPainter&)>& content) {
    const QRect bounds = deviceRect(p);
    if (bounds.isEmpty()) return;
    QImage cut = transparentImage(bounds.size());
    {
        QPainter cp(&cut);
        startPainter(cp);
        content(cp);
    }
    QImage coverage = transparentImage(bounds.size());
    {
        QPainter mp(&coverage);
        startPainter(mp);
        bool was = coverageOnly_;
        coverageOnly_ = !byAlpha;
        drawObject(mp, mask, maskParent, ColorTransform{});
        coverageOnly_ = was;
    }
    {
        QPainter cp(&cut);
        cp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        cp.drawImage(0, 0, coverage);
    }
    auto* target = dynamic_cast<QImage*>(p.device());
    if (blend != swf::BlendMode::Normal && target) {
        compositeLayer(p, *target, cut, QPoint(0, 0), blend, 1.0);
        return;
    }
    p.save();
    p.resetTransform();
    p.drawImage(0, 0, cut);
    p.restore();
}

void Renderer::drawContent(QPainter& p, const DisplayObject& obj, const QTransform& objectWorld, const ColorTransform& cx) {
    QTransform world = objectWorld;
    p.setTransform(world);
    if (obj.scrollRect) {
        // Only the rectangle shows, at the object's origin, its content
        // moved so that the rectangle's corner sits there.
        const QRectF& r = *obj.scrollRect;
        p.setClipRect(QRectF(0, 0, r.width() * 20.0, r.height() * 20.0), Qt::IntersectClip);
        world = QTransform::fromTranslate(-r.x() * 20.0, -r.y() * 20.0) * world;
        p.setTransform(world);
    }
    if (obj.opaqueBackground && !coverageOnly_) {
        const auto& c = *obj.opaqueBackground;
        p.fillRect(obj.localBounds(), QColor(c.r, c.g, c.b));
    }
    const Character* c = obj.character();
    const Library& library = libraryOf(obj);
    switch (obj.kind()) {
    case ObjectKind::Shape:
        if (auto* shape = c->as<swf::DefineShape>()) paintGeometry(p, shapeGeometry(*shape), paintStyle(cx, &library));
        break;
    case ObjectKind::MorphShape:
        if (auto* morph = c->as<swf::DefineMorphShape>())
            paintGeometry(p, morphGeometry(*morph, obj.ratio), paintStyle(cx, &library));
        break;
    case ObjectKind::Text:
        if (auto* text = c->as<swf::DefineText>()) drawStaticText(p, *text, library, glyphs_, paintStyle(cx, &library));
        break;
    case ObjectKind::EditText: {
        // Device fonts are drawn upright and unmirrored only: a field that
        // uses them shows nothing, box included, when turned, flipped or
        // skewed by more than a trace (nested transforms rarely cancel out
        // exactly).
        const auto& field = static_cast<const EditText&>(obj);
        constexpr double kSkewTolerance = 0.01;
        const bool upright = world.m11() > 0 && world.m22() > 0 &&
                             std::abs(world.m12()) <= kSkewTolerance * world.m11() &&
                             std::abs(world.m21()) <= kSkewTolerance * world.m22();
        if (field.embedFonts || upright) drawEditText(p, field, glyphs_, deviceFonts_, paintStyle(cx, &library));
        break;
    }
    case ObjectKind::Bitmap: {
        const QImage* image = nullptr;
        bool smooth = true;
        if (c) {
            image = bitmap(c);
        } else if (const auto& pixels = static_cast<const BitmapObject&>(obj).pixels(); pixels && pixels->valid()) {
            image = &pixels->image();
            smooth = static_cast<const BitmapObject&>(obj).smoothing;
        }
        if (image) {
            p.setTransform(QTransform::fromScale(20, 20) * world);
            p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
            if (coverageOnly_)
                p.fillRect(image->rect(), Qt::black);
            else
                p.drawImage(QPointF(0, 0), cx.isIdentity() ? *image : transformBitmap(*image, cx));
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        }
        break;
    }
    case ObjectKind::Video:
        if (const QImage* frame = videos_.picture(obj)) {
            // The decoded picture is stretched over the size the stream declares.
            const auto* def = c->as<swf::DefineVideoStream>();
            QRectF box(0, 0, def->width * 20.0, def->height * 20.0);
            if (coverageOnly_) {
                p.fillRect(box, Qt::black);
            } else {
                p.setRenderHint(QPainter::SmoothPixmapTransform, def->smoothing);
                p.drawImage(box, cx.isIdentity() ? *frame : transformBitmap(*frame, cx));
            }
        }
        break;
    case ObjectKind::MovieClip:
    case ObjectKind::Button: {
        if (obj.kind() == ObjectKind::MovieClip) {
            const Drawing& drawing = static_cast<const MovieClip&>(obj).drawing();
            if (!drawing.empty()) paintDrawing(p, drawing, paintStyle(cx, &library));
        }
        Children list;
        for (const auto& [depth, child] : *childrenOf(obj)) list.push_back(child.get());
        drawChildren(p, list, world, cx);
        break;
    }
    }
    if (obj.scrollRect) p.setClipping(false);
}

void Renderer::drawLayered(QPainter& p, const DisplayObject& obj, const QTransform& objectWorld, const ColorTransform& cx,
                           swf::BlendMode blend) {
    QTransform world = objectWorld;
    if (!obj.filters.empty()) {
        // A filtered object is cached as a bitmap, and the cache sits on
        // whole pixels: its content moves to the nearest one.
        QRectF b = world.mapRect(obj.localBounds());
        world = world * QTransform::fromTranslate(std::round(b.left()) - b.left(), std::round(b.top()) - b.top());
    }
    QMarginsF margins(2, 2, 2, 2);
    for (const auto& f : obj.filters) {
        QMarginsF m = filterMargins(f, stageScale_);
        margins += m;
    }
    QRect bounds = world.mapRect(obj.localBounds()).marginsAdded(margins).toAlignedRect() & deviceRect(p);
    if (bounds.isEmpty()) return;
    // A layer is drawn opaque and faded as a whole when it is composited.
    ColorTransform inner = cx;
    double opacity = 1.0;
    if (cx.add[3] == 0) {
        opacity = std::clamp(double(cx.mul[3]), 0.0, 1.0);
        inner.mul[3] = 1;
    }
    QImage layer = transparentImage(bounds.size());
    {
        QPainter lp(&layer);
        startPainter(lp);
        ++layerDepth_;
        drawContent(lp, obj, world * QTransform::fromTranslate(-bounds.x(), -bounds.y()), inner);
        --layerDepth_;
    }
    for (const auto& f : obj.filters) applyFilter(layer, f, stageScale_);
    auto* target = dynamic_cast<QImage*>(p.device());
    if (!target) return;
    compositeLayer(p, *target, layer, bounds.topLeft(), blend, opacity);
}

void Renderer::drawMasked(QPainter& p, const DisplayObject& mask, const Children& masked, const QTransform& world,
                          const ColorTransform& cx) {
    if (masked.empty()) return;
    QRect bounds = (mask.matrix() * world).mapRect(mask.localBounds()).toAlignedRect().adjusted(-1, -1, 1, 1) & deviceRect(p);
    if (bounds.isEmpty()) return;
    QTransform shift = QTransform::fromTranslate(-bounds.x(), -bounds.y());
    QImage content = transparentImage(bounds.size());
    QImage coverage = transparentImage(bounds.size());
    {
        QPainter mp(&coverage);
        startPainter(mp);
        bool was = coverageOnly_;
        coverageOnly_ = true;
        drawObject(mp, mask, world * shift, cx);
        coverageOnly_ = was;
    }
    {
        QPainter cp(&content);
        startPainter(cp);
        drawChildren(cp, masked, world * shift, cx);
        cp.resetTransform();
        cp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        cp.drawImage(0, 0, coverage);
    }
    p.save();
    p.resetTransform();
    p.drawImage(bounds.topLeft(), content);
    p.restore();
}

const ShapeGeometry& Renderer::shapeGeometry(const swf::DefineShape& shape) {
    auto it = shapes_.find(&shape);
    if (it == shapes_.end())
        it = shapes_.emplace(&shape, buildShapeGeometry(shape.styles, shape.records, shape.usesFillWindingRule)).first;
    return it->second;
}

const ShapeGeometry& Renderer::morphGeometry(const swf::DefineMorphShape& morph, std::uint16_t ratio) {
    auto key = std::pair{&morph, ratio};
    auto it = morphs_.find(key);
    if (it != morphs_.end()) return it->second;
    if (morphOrder_.size() >= kMorphCacheSize) {
        morphs_.erase(morphOrder_.front());
        morphOrder_.pop_front();
    }
    MorphFrame frame = interpolateMorph(morph, ratio);
    morphOrder_.push_back(key);
    return morphs_.emplace(key, buildShapeGeometry(frame.styles, frame.records, false)).first->second;
}

const QImage* Renderer::bitmap(const Character* c) {
    if (!c) return nullptr;
    auto it = bitmaps_.find(c);
    if (it == bitmaps_.end()) {
        QImage image;
        std::string error;
        image = decodeBitmapCharacter(*c, &error);
        if (!error.empty()) problems_.push_back("bitmap " + std::to_string(c->id) + ": " + error);
        it = bitmaps_.emplace(c, std::move(image)).first;
    }
    return it->second.isNull() ? nullptr : &it->second;
}

const QImage* Renderer::clampedBitmap(const Character* c) {
    if (!c) return nullptr;
    auto it = clampedBitmaps_.find(c);
    if (it == clampedBitmaps_.end()) {
        QImage padded;
        if (const QImage* image = bitmap(c)) {
            const int b = kClampBorder;
            padded = QImage(image->width() + 2 * b, image->height() + 2 * b, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < padded.height(); ++y) {
                const auto* src = reinterpret_cast<const QRgb*>(image->constScanLine(std::clamp(y - b, 0, image->height() - 1)));
                auto* dst = reinterpret_cast<QRgb*>(padded.scanLine(y));
                for (int x = 0; x < padded.width(); ++x) dst[x] = src[std::clamp(x - b, 0, image->width() - 1)];
            }
        }
        it = clampedBitmaps_.emplace(c, std::move(padded)).first;
    }
    return it->second.isNull() ? nullptr : &it->second;
}

}  // namespace flash::render
