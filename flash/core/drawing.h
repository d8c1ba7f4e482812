// The vector shapes a script draws into a clip with the drawing API: fills
// and strokes kept in the order they were made, in twips.
#pragma once

#include <QPainterPath>
#include <QTransform>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "flash/swf/types.h"

namespace flash {

class BitmapData;

struct DrawingFill {
    swf::FillStyle style;  // solid or gradient; bitmap fills name `bitmap`
    std::shared_ptr<BitmapData> bitmap;
    QTransform bitmapMatrix;  // bitmap pixels to the clip's twips
    bool repeat = true, smooth = false;
    QPainterPath path;
};

struct DrawingStroke {
    swf::LineStyle style;
    QPainterPath path;
    // A bitmap the line is painted with instead of its style's colour
    // (lineBitmapStyle); its path is unused.
    std::optional<DrawingFill> paint;
};

using DrawingItem = std::variant<DrawingFill, DrawingStroke>;

class Drawing {
public:
    void clear();
    // Takes on another drawing's shapes and pen (Graphics.copyFrom).
    void copyFrom(const Drawing& other);
    // The line for the edges that follow; nullopt draws none.
    void lineStyle(std::optional<swf::LineStyle> style);
    // Paints the current line with a gradient (lineGradientStyle), or with
    // a bitmap fill (lineBitmapStyle).
    void lineFill(const swf::FillStyle& fill);
    void lineFill(DrawingFill bitmapPaint);
    // Starts a fill at the pen, closing one that is open.
    void beginFill(DrawingFill fill);
    void endFill();
    void moveTo(QPointF to);
    void lineTo(QPointF to);
    void curveTo(QPointF control, QPointF to);
    // Where the next edge starts.
    QPointF pen() const { return pen_; }

    // Items in drawing order; an open fill is included as it stands.
    const std::vector<DrawingItem>& items() const { return items_; }
    bool empty() const { return items_.empty(); }
    QRectF bounds() const;
    bool hitTest(QPointF p) const;
    // Changes with every edit, for caches of the drawn picture.
    std::uint64_t revision() const { return revision_; }

private:
    DrawingFill* openFill();
    DrawingStroke* openStroke();
    void startStroke();

    std::vector<DrawingItem> items_;
    std::optional<swf::LineStyle> line_;
    std::optional<DrawingFill> linePaint_;  // the current line's bitmap
    std::ptrdiff_t fillIndex_ = -1;    // the open fill, if any
    std::ptrdiff_t strokeIndex_ = -1;  // the stroke edges go to, if any
    QPointF pen_;
    QPointF fillStart_;
    std::uint64_t revision_ = 0;
};

}  // namespace flash
