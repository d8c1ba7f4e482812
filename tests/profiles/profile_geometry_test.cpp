#include <gtest/gtest.h>

#include "profiles/profile_geometry.h"

namespace kinolux {
namespace {

ProfileSettings WithSource(int width, int height) {
    ProfileSettings settings{};
    settings.nSourceWidth = width;
    settings.nSourceHeight = height;
    return settings;
}

// A fresh profile prepared for a source of that size and the target.
ProfileSettings PreparedFor(int width, int height, int target) {
    ProfileSettings settings{};
    PrepareProfileForSource(settings, width, height, target);
    return settings;
}

TEST(ProfileGeometry, OutputFrameSizes) {
    ProfileSettings settings = WithSource(550, 400);
    settings.nVideoRiszeOption = 0;
    EXPECT_EQ(GetOutputFrameSize(settings).width, 560);
    EXPECT_EQ(GetOutputFrameSize(settings).height, 400);
    settings.nVideoRiszeOption = 12;
    EXPECT_EQ(GetOutputFrameSize(settings).width, 560) << "unknown choices behave as 0";
    settings.nVideoRiszeOption = 9;
    settings.nVideoCustomSizeX = 330;
    settings.nVideoCustomSizeY = 250;
    EXPECT_EQ(GetOutputFrameSize(settings).width, 336);
    EXPECT_EQ(GetOutputFrameSize(settings).height, 250) << "the custom height is not rounded here";
    settings.nVideoRiszeOption = 11;
    EXPECT_EQ(GetOutputFrameSize(settings).width, 1920);
    EXPECT_EQ(GetOutputFrameSize(settings).height, 1080);
    settings.nVideoRiszeOption = 4;
    EXPECT_EQ(GetOutputFrameSize(settings).width, 704);
    EXPECT_EQ(RoundUpTo16(-20), 0) << "truncation toward zero";
    EXPECT_EQ(RoundUpTo16(2147483647), 2147483647);
}

TEST(ProfileGeometry, DefaultBitRates) {
    EXPECT_EQ(ComputeDefaultVideoBitRate(-1, 320, 240, 0, 0), 0);
    EXPECT_EQ(ComputeDefaultVideoBitRate(3, 320, 240, 0, 0), 225000);
    EXPECT_EQ(ComputeDefaultVideoBitRate(3, 0, 240, 5, 5), 0);
    EXPECT_EQ(ComputeDefaultVideoBitRate(0, 320, 240, 2, 1), 5000);  // (4 + 1) x 1024 x 0.9765625
    EXPECT_EQ(ComputeDefaultVideoBitRate(100, 100000, 100000, 0, 0), 2147483647) << "saturates";
    ProfileSettings settings{};
    settings.nVideoRiszeOption = 5;
    settings.nVideoBitRateLevel = 3;
    PrepareProfileForSource(settings, 0, 0, 0);
    EXPECT_EQ(settings.nDefaultVideoBitRate, 225);
    settings.nVideoRiszeOption = 0;
    PrepareProfileForSource(settings, 0, 0, 0);
    EXPECT_EQ(settings.nDefaultVideoBitRate, 0) << "an unprobed source has no size";
}

TEST(ProfileGeometry, FourThreeSourceFitsExactly) {
    ProfileSettings settings = PreparedFor(550, 400, 0);
    EXPECT_EQ(settings.nAspect, 1);
    EXPECT_EQ(settings.bVideoEnablePad, 0);
    EXPECT_FLOAT_EQ(settings.nSourceAspect, 1.375f);
}

TEST(ProfileGeometry, WideSourceGetsPillarboxPaddingTowardSixteenNine) {
    ProfileSettings settings = PreparedFor(640, 400, 0);
    EXPECT_EQ(settings.nAspect, 2);
    EXPECT_EQ(settings.bVideoEnablePad, 1);
    EXPECT_EQ(settings.nVideoPadLeft, 36);
    EXPECT_EQ(settings.nVideoPadRight, 36);
    EXPECT_EQ(settings.nVideoPadTop, 0);
    EXPECT_EQ(settings.nVideoPadBottom, 0);
    EXPECT_EQ(settings.nVideoPadColor, 0);
}

TEST(ProfileGeometry, TallSourceGetsLetterboxPadding) {
    ProfileSettings settings = PreparedFor(400, 400, 1);  // square into 720 x 576 at 4:3
    EXPECT_EQ(settings.nAspect, 1);
    EXPECT_EQ(settings.bVideoEnablePad, 1);
    // t = trunc(720 - trunc(720 / 1.3333334) x 1.0) = 181; half 90, even.
    EXPECT_EQ(settings.nVideoPadLeft, 90);
    EXPECT_EQ(settings.nVideoPadTop, 0);
    settings = PreparedFor(1000, 400, 4);  // 2.5:1 into 352 x 240, 4:3 only
    EXPECT_EQ(settings.nAspect, 1);
    // t < 0, so u = trunc(240 - trunc(240 x 1.3333334) / 2.5) = 112; half 56.
    EXPECT_EQ(settings.nVideoPadLeft, 0);
    EXPECT_EQ(settings.nVideoPadTop, 56);
    EXPECT_EQ(settings.nVideoPadBottom, 56);
}

TEST(ProfileGeometry, FourThreeOnlyTargetsAndSkippedFits) {
    ProfileSettings settings = PreparedFor(1920, 1080, 4);
    EXPECT_EQ(settings.nAspect, 1);
    settings = {};
    settings.nAspect = 2;
    settings.bVideoEnablePad = 1;
    settings.nVideoPadTop = 8;
    PrepareProfileForSource(settings, 640, 400, -1);
    EXPECT_EQ(settings.nAspect, 2);
    EXPECT_EQ(settings.nVideoPadTop, 8);
    EXPECT_EQ(settings.nVideoPadLeft, 0);
    settings = PreparedFor(0, 0, 0);
    EXPECT_EQ(settings.nAspect, 0) << "no source size, no fit";
    EXPECT_EQ(settings.bVideoEnablePad, 0);
    settings = WithSource(640, 400);
    FitAspectToTarget(8, settings);
    EXPECT_EQ(settings.nAspect, 0);
}

TEST(ProfileGeometry, AStoredAspectDecidesBeforeTheSourceSize) {
    ProfileSettings settings = WithSource(640, 400);
    settings.nSourceAspect = 1.78f;
    FitAspectToTarget(0, settings);
    EXPECT_EQ(settings.nAspect, 2);
    EXPECT_EQ(settings.bVideoEnablePad, 0);
    settings.nSourceAspect = 1.78f;
    FitAspectToTarget(3, settings);  // 4:3 only: the stored 16:9 does not count
    EXPECT_EQ(settings.nAspect, 1);
}

}  // namespace
}  // namespace kinolux
