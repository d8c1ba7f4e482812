#include "shell/probe_rules.h"

#include "platform/integer_format.h"
#include "profiles/language_manager.h"
#include "profiles/profile_geometry.h"
#include "shell/declared_background.h"

namespace kinolux {

std::string SwfInfoText(const SwfProbeResult& result) {
    return FormatIntegers(Text("MAIN_DLG", "strSwfFileInfoInfo"),
                          {result.width, result.height, result.totalFrames, result.frameRate});
}

int32_t OutputModeForSpan(int64_t span, ProbePath path, const ProfileSettings& profile) {
    if (span >= 5) return kOutputAuto;
    if (path == ProbePath::Selection && IsStillImageProfile(profile)) return kOutputInteractiveOnePass;
    return kOutputInteractiveTwoPasses;
}

void ApplyProbeResult(const SwfProbeResult& result, ProbePath path, ConversionTask& task) {
    task.infoText = SwfInfoText(result);
    task.totalFrames = result.totalFrames;
    task.inFrame = 0;
    // Computed in 32 bits as the header's count allows, then widened: a
    // movie of 0 frames ends at -1.
    task.outFrame = static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(result.totalFrames) - 1u));
    task.frameRate = static_cast<float>(result.frameRate);
    if (task.frameRate < 0.1f) task.frameRate = 15.0f;
    task.sourceWidth = result.width;
    task.sourceHeight = result.height;
    task.profile.nSourceWidth = result.width;
    task.profile.nSourceHeight = result.height;
    if (path == ProbePath::Selection) task.profile.nDefaultVideoBitRate = DefaultVideoBitRateOf(task.profile);
    task.outputMode = OutputModeForSpan(task.outFrame - task.inFrame, path, task.profile);
    task.probedFlag = 1;
}

std::optional<SwfProbeResult> ProbeTaskOnce(SwfProbe& probe, ConversionTask& task, ProbePath path) {
    if (task.probedFlag) return std::nullopt;
    probe.Probe(task.inputPath);
    SwfProbeResult result = *probe.Result();
    ApplyProbeResult(result, path, task);
    // Probed once, before the user can pick a colour: the movie's own
    // background is where the task starts, never a choice overwritten.
    task.backgroundColor = DeclaredBackgroundColorRef(task.inputPath).value_or(kDefaultBackgroundColorRef);
    return result;
}

}  // namespace kinolux
