// A morph shape at one ratio: both ends' styles and edges interpolated.
#pragma once

#include "flash/swf/types.h"

namespace flash {

struct MorphFrame {
    swf::ShapeStyles styles;
    std::vector<swf::ShapeRecord> records;
};

// ratio 0 is the start shape, 65535 the end shape.
MorphFrame interpolateMorph(const swf::DefineMorphShape& morph, std::uint16_t ratio);

}  // namespace flash
