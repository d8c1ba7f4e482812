#include "capture/settle_delay.h"

namespace kinolux {

SettleDelay SettleDelayForFrameSize(int width, int height)
{
    if (width < 1280 || height < 720) return {0, 0};
    if (width >= 1920 && height >= 1080) return {1, 150};
    if (width >= 1440 && height >= 1080) return {1, 100};
    return {1, 50};
}

}  // namespace kinolux
