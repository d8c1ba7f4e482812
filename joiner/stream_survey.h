// libavformat's reading of the stream: its programme, the streams a clip
// lists, when the stream starts and ends, and its key frames with the
// packets they start in.
#pragma once

#include "joiner/clip_survey.h"
#include "joiner/progress.h"

namespace joiner {

// Needs packetSize and packetCount from ScanPackets. Throws Failure with
// NX_ERROR_NOT_TRANSPORT_STREAM, NX_ERROR_TRUNCATED, NX_ERROR_DAMAGED,
// NX_ERROR_NO_VIDEO, NX_ERROR_UNSUPPORTED_STREAM or NX_ERROR_TOO_LARGE.
void SurveyStreams(ClipSurvey& survey, Progress& progress);

}  // namespace joiner
