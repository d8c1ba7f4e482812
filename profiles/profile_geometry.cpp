#include "profiles/profile_geometry.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace kinolux {

namespace {

// Truncation toward zero that saturates instead of overflowing on the
// values a hand-edited profile can produce.
int TruncToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

struct Target {
    int width;
    int height;
};
constexpr Target kTargets[] = {{720, 480}, {720, 576}, {480, 480}, {480, 576},
                               {352, 240}, {352, 288}, {720, 480}, {720, 576}};

// t / 2 truncated, made even by adding 1 when odd.
int HalfPad(int total) {
    int half = total / 2;
    return half % 2 != 0 ? half + 1 : half;
}

void SetPadding(ProfileSettings& settings, int horizontal, int vertical) {
    settings.bVideoEnablePad = 1;
    settings.nVideoPadLeft = settings.nVideoPadRight = HalfPad(horizontal);
    settings.nVideoPadTop = settings.nVideoPadBottom = HalfPad(vertical);
    settings.nVideoPadColor = 0;
}

}  // namespace

int RoundUpTo16(int value) {
    int64_t rounded = (static_cast<int64_t>(value) + 15) / 16 * 16;
    return rounded > INT_MAX ? INT_MAX : static_cast<int>(rounded);
}

bool FixedFrameSize(int resizeOption, FrameSize& size) {
    static constexpr FrameSize kSizes[] = {{0, 0},     {128, 96},  {176, 144}, {352, 288},
                                           {704, 576}, {320, 240}, {640, 480}, {720, 480},
                                           {720, 576}, {0, 0},     {1280, 768}, {1920, 1080}};
    if (resizeOption < 1 || resizeOption > 11 || resizeOption == 9) return false;
    size = kSizes[resizeOption];
    return true;
}

FrameSize GetOutputFrameSize(const ProfileSettings& settings) {
    FrameSize size;
    if (FixedFrameSize(settings.nVideoRiszeOption, size)) return size;
    if (settings.nVideoRiszeOption == 9) return {RoundUpTo16(settings.nVideoCustomSizeX), settings.nVideoCustomSizeY};
    return {RoundUpTo16(settings.nSourceWidth), settings.nSourceHeight};
}

int ComputeDefaultVideoBitRate(float level, int width, int height, float level2, float level3) {
    if (level < 0 || width <= 0 || height <= 0) return 0;
    float pixels = static_cast<float>(static_cast<int64_t>(width) * height);
    float sum = pixels * level + level2 * level2 * 1024 + level3 * 1024;
    return TruncToInt(sum * 0.9765625);
}

int DefaultVideoBitRateOf(const ProfileSettings& settings) {
    FrameSize size = GetOutputFrameSize(settings);
    return ComputeDefaultVideoBitRate(settings.nVideoBitRateLevel, size.width, size.height,
                                      settings.nVideoBitRateLevel2, settings.nVideoBitRateLevel3) /
           1000;
}

void FitAspectToTarget(int index, ProfileSettings& settings) {
    if (index < 0 || index > 7) return;
    const Target target = kTargets[index];
    const bool fourThreeOnly = index >= 2 && index <= 5;

    const float stored = settings.nSourceAspect;
    if (1.2833333333333332 < stored && stored < 1.3833333333333333) {
        settings.nAspect = 1;
        return;
    }
    if (!fourThreeOnly && 1.7277777777777776 < stored && stored < 1.8277777777777777) {
        settings.nAspect = 2;
        return;
    }
    // The division waits for a usable height: with none the fit stops below.
    if (-0.05 < stored && stored < 0.05 && settings.nSourceHeight != 0)
        settings.nSourceAspect = static_cast<float>(settings.nSourceWidth) / static_cast<float>(settings.nSourceHeight);
    const double r = settings.nSourceAspect;
    if (settings.nSourceWidth <= 0 || settings.nSourceHeight <= 0) return;

    const double c = static_cast<double>(settings.nSourceWidth) / settings.nSourceHeight;
    const double d = static_cast<float>(c);
    int aspectClass = 1;
    bool exact = false;
    if (!fourThreeOnly) {
        if (c < 1.3833333730697632 && d > 1.2833333730697631) {
            exact = true;
        } else if (1.7277777910232544 < d && d < 1.8277777910232544) {
            aspectClass = 2;
            exact = true;
        } else if (d > 1.3333334 && (d >= 1.7777778 || (d - 1.3333334) > (1.7777778 - d))) {
            aspectClass = 2;
        }
    }
    settings.nAspect = aspectClass;
    if (exact) return;

    const double o = aspectClass == 1 ? 1.3333334 : 1.7777778;
    int horizontal = TruncToInt(target.width - TruncToInt(target.width / o) * r);
    if (horizontal > 0) {
        SetPadding(settings, horizontal, 0);
        return;
    }
    int vertical = TruncToInt(target.height - TruncToInt(target.height * o) / r);
    if (vertical > 0) SetPadding(settings, 0, vertical);
}

void PrepareProfileForSource(ProfileSettings& settings, int sourceWidth, int sourceHeight, int calcAspect) {
    settings.nSourceHeight = sourceHeight;
    settings.nSourceWidth = sourceWidth;
    settings.nSourceAspect = 0.0f;
    settings.nDefaultVideoBitRate = DefaultVideoBitRateOf(settings);
    if (calcAspect >= 0) FitAspectToTarget(calcAspect, settings);
}

}  // namespace kinolux
