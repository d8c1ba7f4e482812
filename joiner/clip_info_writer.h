// CLIPINF/00000.clpi: what a player knows of the clip's stream file
// before reading it: its packets and rate, its one clock sequence, its
// programme with the streams' codings, and the EP map.
#pragma once

#include <cstdint>
#include <vector>

#include "joiner/clip_survey.h"

namespace joiner {

std::vector<uint8_t> ClipInfoFile(const ClipSurvey& survey, uint32_t recordingRate);

}  // namespace joiner
