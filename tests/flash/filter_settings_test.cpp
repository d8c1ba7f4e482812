// A file's filter records as script settings and back: every kind keeps
// every value it can hold, and the settings read in the units scripts use.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "flash/core/filter_settings.h"

namespace {

using flash::FilterClass;
using flash::filterRecord;
using flash::filterSettingsOf;

const swf::Color kTeal{0, 128, 128, 51}, kGold{255, 215, 0, 204};

// 2.5 pixels across, 1.5 down, three passes: values no default holds.
template <typename F>
F blurred(F f) {
    f.blurX = 5 << 15;
    f.blurY = 3 << 15;
    f.passes = 3;
    return f;
}

template <typename F>
F edged(F f) {
    f = blurred(f);
    f.strength = 3 << 7;
    f.knockout = true;
    return f;
}

template <typename F>
F offset(F f) {
    f.distance = 7 << 16;
    f.angle = swf::Fixed16(std::lround(std::numbers::pi / 2 * 65536));
    return f;
}

swf::GradientFilter gradient(bool bevel) {
    swf::GradientFilter g = offset(edged(swf::GradientFilter{}));
    g.bevel = bevel;
    g.colors = {{0, kTeal}, {128, kGold}, {255, kTeal}};
    g.onTop = true;
    return g;
}

TEST(FilterSettings, EveryKindOfRecordComesBackUnchanged) {
    swf::DropShadowFilter shadow = offset(edged(swf::DropShadowFilter{}));
    shadow.color = kTeal;
    shadow.inner = true;
    shadow.compositeSource = false;
    swf::GlowFilter glow = edged(swf::GlowFilter{});
    glow.color = kGold;
    glow.inner = true;
    swf::BevelFilter bevel = offset(edged(swf::BevelFilter{}));
    bevel.shadowColor = kTeal;
    bevel.highlightColor = kGold;
    bevel.inner = true;
    swf::ColorMatrixFilter matrix;
    matrix.matrix[3] = 0.5f;
    swf::ConvolutionFilter convolution;
    convolution.columns = 2;
    convolution.rows = 1;
    convolution.matrix = {1.5f, -2};
    convolution.divisor = 4;
    convolution.bias = 0.25f;
    convolution.defaultColor = kGold;
    convolution.clamp = false;
    convolution.preserveAlpha = false;
    const swf::Filter records[] = {
        blurred(swf::BlurFilter{}), shadow, glow, bevel, matrix, convolution, gradient(false), gradient(true)};
    for (const swf::Filter& record : records)
        EXPECT_EQ(filterRecord(filterSettingsOf(record)), record) << "filter kind " << record.index();
}

TEST(FilterSettings, RecordsReadInScriptUnits) {
    const flash::FilterSettings bevel = filterSettingsOf(offset(edged(swf::BevelFilter{})));
    EXPECT_EQ(bevel.id, FilterClass::Bevel);
    EXPECT_DOUBLE_EQ(bevel.at(u"blurX").number, 2.5);
    EXPECT_DOUBLE_EQ(bevel.at(u"blurY").number, 1.5);
    EXPECT_DOUBLE_EQ(bevel.at(u"quality").number, 3);
    EXPECT_DOUBLE_EQ(bevel.at(u"strength").number, 1.5);
    EXPECT_DOUBLE_EQ(bevel.at(u"knockout").number, 1);
    EXPECT_DOUBLE_EQ(bevel.at(u"distance").number, 7);
    EXPECT_NEAR(bevel.at(u"angle").number, 90, 1e-3);
    EXPECT_EQ(bevel.at(u"type").text, u"outer");

    const flash::FilterSettings glow = filterSettingsOf(gradient(false));
    EXPECT_EQ(glow.id, FilterClass::GradientGlow);
    EXPECT_EQ(glow.at(u"type").text, u"full");
    EXPECT_EQ(glow.at(u"colors").numbers, (std::vector<double>{0x008080, 0xFFD700, 0x008080}));
    EXPECT_EQ(glow.at(u"alphas").numbers, (std::vector<double>{0.2, 0.8, 0.2}));
    EXPECT_EQ(glow.at(u"ratios").numbers, (std::vector<double>{0, 128, 255}));
}

}  // namespace
