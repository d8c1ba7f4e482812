// How the disc's navigation files name a stream: its coding type and the
// codes for its picture format, frame rate and aspect, or for its channel
// layout and sample rate.
#pragma once

#include <cstdint>

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavcodec/codec_par.h>
#include <libavutil/rational.h>
}

#include "joiner/clip_survey.h"

namespace joiner {

// The coding type of a codec a Blu-ray clip may carry; 0 for any other.
uint8_t CodingTypeOf(AVCodecID codec);

// Fills the video or audio codes of `stream` from the stream's parameters
// and its frame rate (video only).
void DescribeVideo(const AVCodecParameters& parameters, AVRational frameRate, ClipStream& stream);
void DescribeAudio(const AVCodecParameters& parameters, ClipStream& stream);

}  // namespace joiner
