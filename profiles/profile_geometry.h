// Values derived from a profile and the size of the source movie: the output
// frame size, the default video bit rate and the automatic fit of the
// source's aspect ratio into a disc-sized frame.
#pragma once

#include "profiles/profile_settings.h"

namespace kinolux {

struct FrameSize {
    int width = 0;
    int height = 0;
};

// (v + 15) / 16 * 16, truncating toward zero.
int RoundUpTo16(int value);

// The fixed size of a size choice (1 to 8, 10, 11), or nothing for 0, 9 and
// values outside the table.
bool FixedFrameSize(int resizeOption, FrameSize& size);

FrameSize GetOutputFrameSize(const ProfileSettings& settings);

// The raw default video bit rate in bit/s (0 when level < 0 or the size is
// empty); nDefaultVideoBitRate is this divided by 1000.
int ComputeDefaultVideoBitRate(float level, int width, int height, float level2, float level3);

// nDefaultVideoBitRate for the profile's own output size and levels.
int DefaultVideoBitRateOf(const ProfileSettings& settings);

// Chooses nAspect and letterbox or pillarbox padding for the disc-size
// target of `index` (0 to 7); any other index changes nothing.
void FitAspectToTarget(int index, ProfileSettings& settings);

// After every read of a profile into a task: the run-time fields, the
// default bit rate and, for calcAspect >= 0, the aspect fit.
void PrepareProfileForSource(ProfileSettings& settings, int sourceWidth, int sourceHeight, int calcAspect);

}  // namespace kinolux
