#include "castor/frame_rate.h"

namespace castor {

AVRational FrameRateFromNumber(double framesPerSecond) {
    AVRational rate = av_d2q(framesPerSecond, 1001000);
    if (rate.den > 65535) {
        rate = av_d2q(framesPerSecond, 65535);
    }
    return rate;
}

}  // namespace castor
