// The frame sizes the video codecs take. Some take any size, some only
// sides in multiples of a number (the 4:2:0 encoders refuse odd sides, the
// older ones want more), and two only a few sizes: DV its television and
// DVCPRO HD frames, H.261 its two CIF sizes. What is refused here the
// encoder would refuse, after the movie had been played for nothing.
#pragma once

#include "profiles/profile_geometry.h"
#include "profiles/profile_settings.h"

#include <string>

namespace kinolux {

// "720 x 576".
std::string FrameSizeText(FrameSize size);

// The frame the encoder writes for `profile`: the chosen size, or without
// one the grabbed picture less its cropping, with its padding. Sides of 0
// or less while the source's size is not known.
FrameSize EncodedFrameSize(const ProfileSettings& profile);

// True when the codec takes only a few sizes, so that only the size choice
// can mend a size it refuses.
bool TakesOnlyFixedSizes(const ProfileSettings& profile);

// The pixel format the DV encoder needs for `frame`: each DV size has its
// own chroma sampling, which the encoder would not choose by itself. Empty
// for other codecs and for sizes DV does not take.
std::string DvPixelFormat(const ProfileSettings& profile, FrameSize frame);

// Why the profile's video codec cannot write a frame of `frame`, as a
// sentence for the user; empty when it can, and for profiles that write no
// video.
std::string CodecFrameSizeProblem(const ProfileSettings& profile, FrameSize frame);

}  // namespace kinolux
