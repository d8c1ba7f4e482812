#include "flash/core/drawing_styles.h"

#include <algorithm>
#include <cmath>

namespace flash {
namespace {

std::uint8_t alphaByte(double percent) { return std::uint8_t(std::lround(std::clamp(percent, 0.0, 100.0) * 2.55)); }

swf::Color rgba(std::uint32_t rgb, double alphaPercent) {
    return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), alphaByte(alphaPercent)};
}

std::int32_t fixed16(double v) {
    return std::int32_t(std::clamp(std::lround(v * 65536.0), long(INT32_MIN), long(INT32_MAX)));
}

std::int32_t twips(double pixels) {
    if (!std::isfinite(pixels)) return 0;
    return std::int32_t(std::clamp(pixels * 20.0, double(INT32_MIN), double(INT32_MAX)));
}

}  // namespace

std::optional<swf::LineStyle> drawingLine(const kinolux::script::LineStyle& style) {
    if (std::isnan(style.thickness)) return std::nullopt;
    swf::LineStyle line;
    line.width = std::uint16_t(std::lround(std::clamp(style.thickness, 0.0, 255.0) * 20.0));
    line.color = rgba(style.rgb, style.alpha);
    line.pixelHinting = style.pixelHinting;
    const auto cap = style.caps == u"none" ? swf::LineCap::None : style.caps == u"square" ? swf::LineCap::Square : swf::LineCap::Round;
    line.startCap = line.endCap = cap;
    line.join = style.joints == u"miter" ? swf::LineJoin::Miter : style.joints == u"bevel" ? swf::LineJoin::Bevel : swf::LineJoin::Round;
    line.miterLimit = swf::Fixed8(std::lround(std::clamp(style.miterLimit, 1.0, 255.0) * 256.0) & 0x7FFF);
    line.noHScale = style.scaleMode == u"none" || style.scaleMode == u"vertical";
    line.noVScale = style.scaleMode == u"none" || style.scaleMode == u"horizontal";
    return line;
}

DrawingFill solidFill(std::uint32_t rgb, double alphaPercent) {
    DrawingFill fill;
    fill.style.type = swf::FillType::Solid;
    fill.style.color = rgba(rgb, alphaPercent);
    return fill;
}

DrawingFill bitmapFill(std::shared_ptr<BitmapData> pixels, const QTransform& matrix, bool repeat, bool smooth) {
    DrawingFill fill;
    fill.bitmap = std::move(pixels);
    fill.bitmapMatrix = matrix * QTransform::fromScale(20, 20);
    fill.repeat = repeat;
    fill.smooth = smooth;
    return fill;
}

swf::Matrix fileMatrix(const kinolux::script::Matrix& m) {
    return {fixed16(m.a), fixed16(m.b), fixed16(m.c), fixed16(m.d), twips(m.tx), twips(m.ty)};
}

swf::FillStyle gradientFill(const kinolux::script::GradientFill& g) {
    swf::FillStyle style;
    const bool focal = g.radial && g.focalPointRatio != 0 && std::isfinite(g.focalPointRatio);
    style.type = !g.radial ? swf::FillType::LinearGradient : focal ? swf::FillType::FocalGradient : swf::FillType::RadialGradient;
    if (focal) style.focalPoint = swf::Fixed8(std::lround(std::clamp(g.focalPointRatio, -1.0, 1.0) * 256.0));
    style.gradient.matrix = fileMatrix(g.matrix);
    style.gradient.spread = g.spreadMethod == u"reflect" ? swf::SpreadMode::Reflect
                            : g.spreadMethod == u"repeat" ? swf::SpreadMode::Repeat
                                                          : swf::SpreadMode::Pad;
    style.gradient.interpolation = g.interpolationMethod == u"linearRGB" ? swf::InterpolationMode::LinearRgb
                                                                          : swf::InterpolationMode::Rgb;
    const std::size_t n = std::min({g.colors.size(), g.alphas.size(), g.ratios.size(), std::size_t(15)});
    for (std::size_t i = 0; i < n; ++i) {
        double ratio = std::isfinite(g.ratios[i]) ? std::clamp(g.ratios[i], 0.0, 255.0) : 0.0;
        style.gradient.records.push_back({std::uint8_t(ratio), rgba(g.colors[i], std::isfinite(g.alphas[i]) ? g.alphas[i] : 0)});
    }
    return style;
}

}  // namespace flash
