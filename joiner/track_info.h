// The record nx_ts_gettrackinfo hands out: the head the caller reads (the
// status, the progress total and the message), then the library's survey
// of the stream, which is there only when the stream can be used.
#pragma once

#include <cstddef>
#include <type_traits>

#include "bindings/joiner.h"
#include "joiner/clip_survey.h"

namespace joiner {

struct TrackInfo {
    NX_TRACKINFO_HEAD head;
    ClipSurvey* survey;
};

static_assert(std::is_standard_layout_v<TrackInfo>, "the caller reads the head through a pointer to the record");
static_assert(offsetof(TrackInfo, head) == 0 && offsetof(NX_TRACKINFO_HEAD, total) == 4,
              "the progress total is the float at offset 4");

}  // namespace joiner
