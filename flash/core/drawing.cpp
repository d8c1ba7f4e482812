#include "flash/core/drawing.h"

#include <algorithm>

namespace flash {

void Drawing::clear() {
    items_.clear();
    line_.reset();
    linePaint_.reset();
    fillIndex_ = strokeIndex_ = -1;
    pen_ = fillStart_ = QPointF();
    ++revision_;
}

void Drawing::copyFrom(const Drawing& other) {
    if (&other == this) return;
    const std::uint64_t revision = revision_;
    *this = other;
    revision_ = std::max(revision, other.revision_) + 1;
}

void Drawing::lineStyle(std::optional<swf::LineStyle> style) {
    line_ = std::move(style);
    linePaint_.reset();
    strokeIndex_ = -1;
    ++revision_;
}

void Drawing::lineFill(const swf::FillStyle& fill) {
    if (!line_) return;
    line_->fill = fill;
    linePaint_.reset();
    strokeIndex_ = -1;
    ++revision_;
}

void Drawing::lineFill(DrawingFill bitmapPaint) {
    if (!line_) return;
    bitmapPaint.path = QPainterPath();
    linePaint_ = std::move(bitmapPaint);
    strokeIndex_ = -1;
    ++revision_;
}

DrawingFill* Drawing::openFill() {
    return fillIndex_ < 0 ? nullptr : &std::get<DrawingFill>(items_[std::size_t(fillIndex_)]);
}

DrawingStroke* Drawing::openStroke() {
    return strokeIndex_ < 0 ? nullptr : &std::get<DrawingStroke>(items_[std::size_t(strokeIndex_)]);
}

void Drawing::startStroke() {
    DrawingStroke stroke{*line_, {}, linePaint_};
    stroke.path.moveTo(pen_);
    items_.emplace_back(std::move(stroke));
    strokeIndex_ = std::ptrdiff_t(items_.size() - 1);
}

// Lines drawn after a fill starts lie over it, so the stroke in progress
// ends there and the next edge starts a new one above the fill.
void Drawing::beginFill(DrawingFill fill) {
    endFill();
    fill.path = QPainterPath();
    fill.path.moveTo(pen_);
    fillStart_ = pen_;
    items_.emplace_back(std::move(fill));
    fillIndex_ = std::ptrdiff_t(items_.size() - 1);
    strokeIndex_ = -1;
    ++revision_;
}

// A fill always closes: an open outline is joined back to where it began.
void Drawing::endFill() {
    if (DrawingFill* fill = openFill()) {
        if (pen_ != fillStart_) fill->path.lineTo(fillStart_);
        fill->path.closeSubpath();
        pen_ = fillStart_;
    }
    fillIndex_ = -1;
    strokeIndex_ = -1;
    ++revision_;
}

void Drawing::moveTo(QPointF to) {
    if (DrawingFill* fill = openFill()) {
        fill->path.closeSubpath();
        fill->path.moveTo(to);
        fillStart_ = to;
    }
    if (DrawingStroke* stroke = openStroke()) stroke->path.moveTo(to);
    pen_ = to;
    ++revision_;
}

void Drawing::lineTo(QPointF to) {
    if (DrawingFill* fill = openFill()) fill->path.lineTo(to);
    if (line_) {
        if (!openStroke()) startStroke();
        openStroke()->path.lineTo(to);
    }
    pen_ = to;
    ++revision_;
}

void Drawing::curveTo(QPointF control, QPointF to) {
    if (DrawingFill* fill = openFill()) fill->path.quadTo(control, to);
    if (line_) {
        if (!openStroke()) startStroke();
        openStroke()->path.quadTo(control, to);
    }
    pen_ = to;
    ++revision_;
}

QRectF Drawing::bounds() const {
    QRectF r;
    auto add = [&](const QRectF& b) {
        if (b.isNull()) return;
        r = r.isNull() ? b : r.united(b);
    };
    for (const auto& item : items_) {
        if (const auto* fill = std::get_if<DrawingFill>(&item)) {
            add(fill->path.controlPointRect());
        } else {
            const auto& stroke = std::get<DrawingStroke>(item);
            double half = stroke.style.width / 2.0;
            add(stroke.path.controlPointRect().adjusted(-half, -half, half, half));
        }
    }
    return r;
}

bool Drawing::hitTest(QPointF p) const {
    for (const auto& item : items_)
        if (const auto* fill = std::get_if<DrawingFill>(&item); fill && fill->path.contains(p)) return true;
    return false;
}

}  // namespace flash
