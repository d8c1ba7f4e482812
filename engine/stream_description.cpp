#include "engine/stream_description.h"

#include <cstring>

namespace kinolux {

int32_t StreamKindOf(const ProfileSettings& profile, bool& bothDisabled) {
    bothDisabled = profile.bDisableAudio != 0 && profile.bDisableVideo != 0;
    if (IsStillImageProfile(profile) || bothDisabled) return kStreamNone;
    if (profile.bDisableAudio != 0) return kStreamVideo;
    if (profile.bDisableVideo != 0) return kStreamAudio;
    return kStreamVideoAudio;
}

FrameSize GrabFrameSize(const ProfileSettings& profile) {
    FrameSize size = GetOutputFrameSize(profile);
    if (profile.bVideoEnablePad == 1) {
        size.width -= profile.nVideoPadLeft + profile.nVideoPadRight;
        size.height -= profile.nVideoPadTop + profile.nVideoPadBottom;
    }
    return size;
}

FrameInfo MakeStreamDescription(const ConversionTask& task, int32_t streamKind) {
    FrameInfo info;
    std::memset(&info, 0, sizeof info);
    const FrameSize size = GrabFrameSize(task.profile);
    info.streamKind = streamKind;
    info.audioSampleRate = 44100;
    info.audioChannels = 2;
    info.fixed128 = 128;
    info.fixed32 = 32;
    info.frameHeight = size.height;
    info.frameWidth = size.width;
    info.bytesPerPixel = 3;
    info.frameRate = task.frameRate;
    info.bitsPerPixel = 24;
    return info;
}

}  // namespace kinolux
