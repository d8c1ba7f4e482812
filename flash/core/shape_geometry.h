// Shape records turned into paths: one closed fill path per fill style and
// one stroke path per line style, group by group (a shape starts a new
// group each time it brings in new styles). Coordinates stay in twips.
#pragma once

#include <QPainterPath>
#include <vector>

#include "flash/swf/types.h"

namespace flash {

struct FillPath {
    QPainterPath path;
    swf::FillStyle style;
};

struct StrokePath {
    QPainterPath path;
    swf::LineStyle style;
};

struct ShapeGroup {
    std::vector<FillPath> fills;      // in fill style order
    std::vector<StrokePath> strokes;  // in line style order
};

struct ShapeGeometry {
    std::vector<ShapeGroup> groups;
    // Everything filled, as one path (masks, glyphs, hit areas).
    QPainterPath outline() const;
};

// windingRule: fill with the non-zero rule (DefineShape4's flag) rather
// than even-odd.
ShapeGeometry buildShapeGeometry(const swf::ShapeStyles& styles, const std::vector<swf::ShapeRecord>& records,
                                 bool windingRule);

}  // namespace flash
