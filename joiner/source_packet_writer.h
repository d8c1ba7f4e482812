// The clip's stream file: every transport packet of the input behind a
// 4-byte header with its arrival time stamp (192-byte source packets),
// padded with null packets to whole aligned units of 32.
#pragma once

#include <cstdint>
#include <string>

#include "joiner/clip_survey.h"
#include "joiner/progress.h"

namespace joiner {

// Writes `path`; progress counts down the aligned units still to write.
// Returns the clip's recording rate in bytes per second.
uint32_t WriteSourcePackets(const ClipSurvey& survey, const std::string& path, Progress& progress);

// The progress total of WriteSourcePackets.
int32_t AlignedUnitCount(const ClipSurvey& survey);

}  // namespace joiner
