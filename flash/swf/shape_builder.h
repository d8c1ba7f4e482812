// Building shape records from absolute coordinates, for the tools and tests
// that write movies: the builder keeps the pen position and emits the
// relative edges and style changes the format wants.
#pragma once

#include <vector>

#include "flash/swf/types.h"

namespace swf {

class ShapeBuilder {
public:
    // Style indices are 1-based (0 = none), as in the file.
    ShapeBuilder& fill0(std::uint32_t index);
    ShapeBuilder& fill1(std::uint32_t index);
    ShapeBuilder& line(std::uint32_t index);
    ShapeBuilder& moveTo(Twips x, Twips y);
    ShapeBuilder& lineTo(Twips x, Twips y);
    ShapeBuilder& curveTo(Twips cx, Twips cy, Twips x, Twips y);
    // A closed rectangle outline from the current styles.
    ShapeBuilder& rectangle(Twips x, Twips y, Twips w, Twips h);
    // An ellipse of quadratic curves (eight segments).
    ShapeBuilder& ellipse(Twips cx, Twips cy, Twips rx, Twips ry);

    const std::vector<ShapeRecord>& records() const { return records_; }
    // Bounds of every point passed, grown by margin on each side.
    Rect bounds(Twips margin = 0) const;

private:
    StyleChange& pendingChange();

    std::vector<ShapeRecord> records_;
    Twips x_ = 0, y_ = 0;
    bool hasPoint_ = false;
    Rect bounds_;
};

FillStyle solidFill(Color c);
LineStyle solidLine(std::uint16_t width, Color c);

// A DefineShape of the given version with one style set and the builder's edges.
DefineShape makeShape(CharacterId id, int version, ShapeStyles styles, const ShapeBuilder& edges);

}  // namespace swf
