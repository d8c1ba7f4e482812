// PLAYLIST/00000.mpls: the title's playlist, one play item over the whole
// clip with its video and sound streams, and a mark at its start.
#pragma once

#include <cstdint>
#include <vector>

#include "joiner/clip_survey.h"

namespace joiner {

std::vector<uint8_t> PlaylistFile(const ClipSurvey& survey);

}  // namespace joiner
