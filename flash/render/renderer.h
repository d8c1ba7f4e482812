// Draws a player's current frame into a picture on QPainter's raster
// engine: anti-aliased, any size, the stage placed by the control's scale
// modes, on a plain background fill.
#pragma once

#include <QColor>
#include <QImage>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <unordered_map>

#include "flash/core/player.h"
#include "flash/render/paint.h"
#include "flash/core/shape_geometry.h"
#include "flash/render/text_render.h"
#include "flash/render/video_frames.h"
#include "flash/render/view.h"

namespace flash::render {

struct RenderOptions {
    ScaleMode scaleMode = ScaleMode::ShowAll;
    double zoom = 1.0;
    // Drawn under everything; the movie's own background colour when unset.
    std::optional<QColor> background;
    // The control's low quality draws without anti-aliasing.
    bool antialias = true;
    DeviceFonts deviceFonts;
};

class Renderer {
public:
    // target must be Format_ARGB32_Premultiplied; it is filled completely.
    void render(const Player& player, QImage& target, const RenderOptions& options = {});
    // A new picture of the given size (the stage size when empty); null
    // when there is not enough memory for it.
    QImage picture(const Player& player, QSize size = {}, const RenderOptions& options = {});
    // Draws what an object shows (its drawing and children, not its own
    // transform) onto target through `matrix` (the object's twips to target
    // pixels), blended by `mode` and kept inside `clip` (BitmapData.draw).
    void drawInto(QImage& target, const Player& player, const DisplayObject& obj, const QTransform& matrix,
                  const ColorTransform& cx, swf::BlendMode mode, std::optional<QRect> clip, bool smooth);
    // Bitmaps that could not be decoded, with the reason (for diagnostics).
    const std::vector<std::string>& problems() const { return problems_; }

private:
    using Children = std::vector<const DisplayObject*>;

    void drawChildren(QPainter& p, const Children& list, const QTransform& world, const ColorTransform& cx);
    void drawObject(QPainter& p, const DisplayObject& obj, const QTransform& parentWorld, const ColorTransform& parentCx);
    void drawContent(QPainter& p, const DisplayObject& obj, const QTransform& world, const ColorTransform& cx);
    void drawLayered(QPainter& p, const DisplayObject& obj, const QTransform& world, const ColorTransform& cx,
                     swf::BlendMode blend);
    void drawMasked(QPainter& p, const DisplayObject& mask, const Children& masked, const QTransform& world,
                    const ColorTransform& cx);
    // `blend` is how the object meets what lies under it; a masked object
    // blends only once the mask has cut it.
    void drawUnmasked(QPainter& p, const DisplayObject& obj, const QTransform& world, const ColorTransform& cx,
                      swf::BlendMode blend);
    // The yellow frame round the object Tab gave focus to.
    void drawFocusHighlight(QPainter& p, const DisplayObject& obj);
    // An object masked by another one a script named (setMask).
    void drawScriptMasked(QPainter& p, const DisplayObject& obj, const QTransform& world, const ColorTransform& cx);
    // What `content` paints, cut by a mask drawn through the transform of
    // its parent, then blended onto p. A mask cuts by its shapes' outline,
    // or with `byAlpha` by how opaque it is.
    void drawThroughMask(QPainter& p, const DisplayObject& mask, const QTransform& maskParent, swf::BlendMode blend,
                         bool byAlpha, const std::function<void(QPainter&)>& content);

    // Starts the caches afresh for another player.
    void usePlayer(const Player& player);
    void startPainter(QPainter& p) const;
    const ShapeGeometry& shapeGeometry(const swf::DefineShape& shape);
    const ShapeGeometry& morphGeometry(const swf::DefineMorphShape& morph, std::uint16_t ratio);
    const QImage* bitmap(const Character* c);
    const QImage* clampedBitmap(const Character* c);
    PaintStyle paintStyle(const ColorTransform& cx, const Library* library);
    // The library whose ids an object's character refers to.
    const Library& libraryOf(const DisplayObject& obj) const;

    const Player* player_ = nullptr;
    std::uint64_t playerSerial_ = 0;
    QTransform view_;           // stage twips to picture pixels
    double stageScale_ = 1.0;   // picture pixels per stage pixel
    bool coverageOnly_ = false;  // drawing a mask
    int layerDepth_ = 0;
    bool antialias_ = true;
    DeviceFonts deviceFonts_;

    std::unordered_map<const swf::DefineShape*, ShapeGeometry> shapes_;
    std::map<std::pair<const swf::DefineMorphShape*, std::uint16_t>, ShapeGeometry> morphs_;
    std::list<std::pair<const swf::DefineMorphShape*, std::uint16_t>> morphOrder_;
    std::unordered_map<const Character*, QImage> bitmaps_;
    std::unordered_map<const Character*, QImage> clampedBitmaps_;
    GlyphCache glyphs_;
    VideoFrames videos_;
    std::vector<std::string> problems_;
};

}  // namespace flash::render
