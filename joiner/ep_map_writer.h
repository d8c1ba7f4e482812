// The characteristic-point information of a clip: the EP map that leads a
// player from a time to the source packet of the key frame at or before
// it, for the clip's video stream.
#pragma once

#include "joiner/bit_writer.h"
#include "joiner/clip_survey.h"

namespace joiner {

// Appends the CPI structure (its length field first) for the first stream
// of `survey`, which is its video. Throws Failure (NX_ERROR_TOO_LARGE) when
// the key frames are more than the map can count.
void WriteCharacteristicPoints(const ClipSurvey& survey, BitWriter& out);

}  // namespace joiner
