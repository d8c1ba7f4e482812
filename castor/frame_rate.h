// Frame rates arrive as numbers (a movie's 29.97, a -r switch); encoders
// want fractions with small denominators (MPEG-4 accepts at most 65535).
#pragma once

extern "C" {
#include <libavutil/rational.h>
}

namespace castor {

// 25 -> 25/1, 29.97002997 -> 30000/1001, 12.5 -> 25/2.
AVRational FrameRateFromNumber(double framesPerSecond);

}  // namespace castor
