// Presentation times as the navigation files hold them: 32-bit counts of a
// 45 kHz clock, from the 33-bit 90 kHz time stamps of the stream.
#pragma once

#include <cstdint>

#include "joiner/clip_survey.h"

namespace joiner {

inline constexpr int64_t kTimeStampMask = (int64_t{1} << 33) - 1;

inline uint32_t To45kHz(int64_t pts90) { return static_cast<uint32_t>((pts90 & kTimeStampMask) >> 1); }

inline uint32_t ClipInTime(const ClipSurvey& survey) { return To45kHz(survey.startPts); }

// The in time plus the clip's length, wrapping with the 45 kHz clock.
inline uint32_t ClipOutTime(const ClipSurvey& survey) {
    return ClipInTime(survey) + static_cast<uint32_t>((survey.endPts - survey.startPts) >> 1);
}

}  // namespace joiner
