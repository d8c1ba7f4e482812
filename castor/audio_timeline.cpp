#include "castor/audio_timeline.h"

#include <algorithm>
#include <cmath>

namespace castor {

AudioTimeline::Step AudioTimeline::Add(double start, int64_t samples, int sampleRate) {
    Step step;
    const double drift = start - position_;
    if (drift > kTolerance) {
        step.silence = std::llround(drift * sampleRate);
    } else if (drift < -kTolerance) {
        step.skip = std::min<int64_t>(samples, std::llround(-drift * sampleRate));
    }
    position_ += static_cast<double>(step.silence + samples - step.skip) / sampleRate;
    return step;
}

}  // namespace castor
