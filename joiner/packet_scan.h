// The first look at a stream, before libavformat reads it: is it a
// transport stream of whole packets that stay in sync, is it small enough
// for one clip, and where are its clock references (which the arrival
// times of the source packets follow).
#pragma once

#include "joiner/clip_survey.h"
#include "joiner/progress.h"

namespace joiner {

// Fills packetSize, packetCount and clock. Throws Failure with
// NX_ERROR_NOT_TRANSPORT_STREAM, NX_ERROR_TRUNCATED, NX_ERROR_DAMAGED or
// NX_ERROR_TOO_LARGE.
void ScanPackets(ClipSurvey& survey, Progress& progress);

}  // namespace joiner
