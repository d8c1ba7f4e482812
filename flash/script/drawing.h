// Geometry and drawing styles as scripts hand them to the player, in the
// units scripts use (pixels, percent): plain data both script machines
// build and the player core turns into its own shapes.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/script/string.h"

namespace kinolux::script {

struct Point {
    double x = 0, y = 0;
};

struct Bounds {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// 2D affine matrix: x' = a*x + c*y + tx, y' = b*x + d*y + ty (pixels).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

struct LineStyle {
    double thickness = 0;  // NaN: no line
    std::uint32_t rgb = 0;
    double alpha = 100;
    bool pixelHinting = false;
    String scaleMode;  // "normal", "none", "vertical", "horizontal"
    String caps;       // "round", "none", "square"
    String joints;     // "round", "bevel", "miter"
    double miterLimit = 3;
};

struct GradientFill {
    bool radial = false;
    std::vector<std::uint32_t> colors;
    std::vector<double> alphas;    // percent
    std::vector<double> ratios;    // 0..255
    Matrix matrix;                 // gradient box to shape space
    String spreadMethod;           // "pad", "reflect", "repeat"
    String interpolationMethod;    // "RGB", "linearRGB"
    double focalPointRatio = 0;
};

}  // namespace kinolux::script
