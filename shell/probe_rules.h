// What a probe result means for a task: its frame range, frame rate,
// source size, output mode and info text. Two places probe a task in the
// window interface, with different mode rules: selecting it in the list and
// starting its conversion. (The command-line run follows the conversion-start
// rules: its range always starts at frame 0.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/conversion_task.h"
#include "shell/swf_probe.h"

namespace kinolux {

enum class ProbePath {
    Selection,        // a single task became selected in the list
    ConversionStart,  // "Convert" reached a task not yet probed
};

// "Width:%d,Height:%d,Total frames:%d,Frame rate:%d" of the current
// language, filled with the probed header.
std::string SwfInfoText(const SwfProbeResult& result);

// The output mode for a frame span (out frame - in frame): Auto from 5 on;
// below 5 an interactive mode: on the selection path a still-image format
// takes the one-compression mode, everything else two compressions.
int32_t OutputModeForSpan(int64_t span, ProbePath path, const ProfileSettings& profile);

// Fills the task from the result and sets its probed flag.
void ApplyProbeResult(const SwfProbeResult& result, ProbePath path, ConversionTask& task);

// The step the main window runs after loading the task's movie into its
// preview (and the conversion start runs for an unprobed task): probes the
// task when it is not yet probed and applies the result. The result, for
// the window's own copy, or nothing when the task was probed already. The
// task's background colour becomes the one the movie declares (white when
// it declares none).
std::optional<SwfProbeResult> ProbeTaskOnce(SwfProbe& probe, ConversionTask& task, ProbePath path);

// The preview lets clicks through to the movie in the interactive modes.
inline bool PreviewAllowsClicks(int32_t outputMode) { return outputMode != kOutputAuto; }

}  // namespace kinolux
