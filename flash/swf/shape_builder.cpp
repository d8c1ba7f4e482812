#include "flash/swf/shape_builder.h"

#include <algorithm>
#include <cmath>

namespace swf {

StyleChange& ShapeBuilder::pendingChange() {
    if (records_.empty() || !std::holds_alternative<StyleChange>(records_.back())) records_.push_back(StyleChange{});
    return std::get<StyleChange>(records_.back());
}

ShapeBuilder& ShapeBuilder::fill0(std::uint32_t index) {
    pendingChange().fill0 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::fill1(std::uint32_t index) {
    pendingChange().fill1 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::line(std::uint32_t index) {
    pendingChange().line = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::moveTo(Twips x, Twips y) {
    pendingChange().moveTo = std::pair{x, y};
    x_ = x;
    y_ = y;
    if (!hasPoint_) bounds_ = {x, x, y, y};
    hasPoint_ = true;
    bounds_ = {std::min(bounds_.xMin, x), std::max(bounds_.xMax, x), std::min(bounds_.yMin, y), std::max(bounds_.yMax, y)};
    return *this;
}

ShapeBuilder& ShapeBuilder::lineTo(Twips x, Twips y) {
    records_.push_back(StraightEdge{x - x_, y - y_});
    x_ = x;
    y_ = y;
    bounds_ = {std::min(bounds_.xMin, x), std::max(bounds_.xMax, x), std::min(bounds_.yMin, y), std::max(bounds_.yMax, y)};
    return *this;
}

ShapeBuilder& ShapeBuilder::curveTo(Twips cx, Twips cy, Twips x, Twips y) {
    records_.push_back(CurvedEdge{cx - x_, cy - y_, x - cx, y - cy});
    x_ = x;
    y_ = y;
    bounds_ = {std::min({bounds_.xMin, x, cx}), std::max({bounds_.xMax, x, cx}), std::min({bounds_.yMin, y, cy}),
               std::max({bounds_.yMax, y, cy})};
    return *this;
}

ShapeBuilder& ShapeBuilder::rectangle(Twips x, Twips y, Twips w, Twips h) {
    return moveTo(x, y).lineTo(x + w, y).lineTo(x + w, y + h).lineTo(x, y + h).lineTo(x, y);
}

ShapeBuilder& ShapeBuilder::ellipse(Twips cx, Twips cy, Twips rx, Twips ry) {
    // Eight quadratic segments; the control point sits at the tangents' meeting.
    const double k = 1.0 / std::cos(M_PI / 8);
    auto at = [&](double angle, double scale) {
        return std::pair{Twips(std::lround(cx + rx * scale * std::cos(angle))),
                         Twips(std::lround(cy + ry * scale * std::sin(angle)))};
    };
    auto [sx, sy] = at(0, 1);
    moveTo(sx, sy);
    for (int i = 0; i < 8; ++i) {
        auto [qx, qy] = at((i + 0.5) * M_PI / 4, k);
        auto [ex, ey] = i == 7 ? std::pair{sx, sy} : at((i + 1) * M_PI / 4, 1);
        curveTo(qx, qy, ex, ey);
    }
    return *this;
}

Rect ShapeBuilder::bounds(Twips margin) const {
    return {bounds_.xMin - margin, bounds_.xMax + margin, bounds_.yMin - margin, bounds_.yMax + margin};
}

FillStyle solidFill(Color c) {
    FillStyle f;
    f.type = FillType::Solid;
    f.color = c;
    return f;
}

LineStyle solidLine(std::uint16_t width, Color c) {
    LineStyle l;
    l.width = width;
    l.color = c;
    return l;
}

DefineShape makeShape(CharacterId id, int version, ShapeStyles styles, const ShapeBuilder& edges) {
    DefineShape s;
    s.version = std::uint8_t(version);
    s.id = id;
    Twips margin = 0;
    for (const auto& l : styles.lines) margin = std::max<Twips>(margin, l.width / 2);
    s.bounds = edges.bounds(margin);
    s.edgeBounds = edges.bounds();
    s.styles = std::move(styles);
    s.records = edges.records();
    return s;
}

}  // namespace swf
