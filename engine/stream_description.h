// The encoder's stream description for one task: which streams, the picture
// size the frames are grabbed at, and the movie's frame rate. Offsets 0 to
// 107 of every record the frame callback hands over are a copy of it.
#pragma once

#include "bindings/castor.h"
#include "engine/conversion_task.h"
#include "profiles/profile_geometry.h"

namespace kinolux {

enum StreamKind : int32_t {
    kStreamNone = 0,       // still images: the encoder is not used
    kStreamVideo = 1,
    kStreamAudio = 2,
    kStreamVideoAudio = 3,
};

// From bDisableAudio and bDisableVideo; a still-image format always gives
// kStreamNone, and so do both streams disabled (`bothDisabled` tells that
// case apart, which is reported as a setting error).
int32_t StreamKindOf(const ProfileSettings& profile, bool& bothDisabled);

// The profile's output frame less its padding (when padding is enabled):
// the size of the pictures the movie is grabbed at.
FrameSize GrabFrameSize(const ProfileSettings& profile);

// The description with the stream kind given; every per-frame field zero.
FrameInfo MakeStreamDescription(const ConversionTask& task, int32_t streamKind);

}  // namespace kinolux
