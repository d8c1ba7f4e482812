// Everything about the output that follows from the options, the container
// and the input, worked out before anything is opened: which streams, which
// codecs, the picture geometry, rates and sound format. Plain data, so that
// choices can be checked without encoding.
#pragma once

#include <cstdint>
#include <optional>

#include "castor/codec_names.h"
#include "castor/media_source.h"
#include "castor/options.h"
#include "castor/output_formats.h"
#include "castor/video_filter.h"

namespace castor {

struct VideoPlan {
    CodecChoice codec;
    PictureGeometry geometry;
    AVRational frameRate{25, 1};
    AVRational sampleAspect{0, 1};  // 0/1: square or unknown
    uint32_t codecTag = 0;          // 0: the container's usual tag
};

struct AudioPlan {
    CodecChoice codec;
    int sampleRate = 0;
    int channels = 0;
    uint32_t codecTag = 0;
};

struct OutputPlan {
    std::optional<VideoPlan> video;
    std::optional<AudioPlan> audio;
};

// Throws Failure when the options cannot be met: an impossible size, a
// codec the container cannot hold, nothing left to encode.
OutputPlan PlanOutput(const Options& options, const Container& container, const SourceLayout& input);

}  // namespace castor
