// How the command-line run reads its switch values into a task: the paths,
// the output mode, the frame duration, the alpha choice of still-image
// profiles and the frame range.
#pragma once

#include "engine/conversion_task.h"

#include <string>
#include <vector>

namespace kinolux {

// An absolute path (starting with "/") as it is. Any other path lies below
// the program folder when that folder is the user's own (the build's, an
// unpacked copy), and below the working folder for an installed program
// (ProgramFolderBelongsToSystem), as the user who typed it means.
std::string CompleteCommandLinePath(const std::string& path);

// atoi of "/om"; anything outside 0 to 2 (or no number) gives 0.
int32_t CommandLineOutputMode(const std::string& value);
// atoi of "/fd" in seconds; below 1 gives 5.
int32_t CommandLineFrameDuration(const std::string& value);

// Still-image profiles: "with alpha" in the profile name (not at its start)
// gives 1; else "no alpha" there gives 0; else 1. Other profiles: 0.
int32_t AlphaFlagForProfile(const ProfileSettings& profile);

// "/if" and "/of" on a probed task: an in frame above 0 and an out frame
// below the frame count narrow the range. A value outside the movie is
// brought inside it, and each change of that kind is described in `notes`.
// An empty value keeps the whole movie's end.
void ApplyFrameRange(const std::string& inValue, const std::string& outValue, ConversionTask& task,
                     std::vector<std::string>& notes);

// The mode the run uses: Two passes for a range under 5 frames when "/om"
// asked for Auto, else the "/om" mode.
int32_t CommandLineRunMode(const ConversionTask& task, int32_t requestedMode);

}  // namespace kinolux
