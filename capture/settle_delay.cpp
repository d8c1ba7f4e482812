#include "capture/settle_delay.h"

#include <algorithm>

namespace kinolux {

SettleDelay SettleDelayForFrameSize(int width, int height)
{
    if (width < 1280 || height < 720) return {0, 0};
    if (width >= 1920 && height >= 1080) return {1, 150};
    if (width >= 1440 && height >= 1080) return {1, 100};
    return {1, 50};
}

void WaitWhileDrawing(Clock& clock, const SettleDelay& delay, const std::function<bool()>& stillDrawing)
{
    if (!delay.settleDelay) return;
    const Clock::TimePoint deadline = clock.now() + std::chrono::milliseconds(delay.settleMs);
    for (Clock::TimePoint now = clock.now(); now < deadline && stillDrawing(); now = clock.now())
        clock.sleepUntil(std::min(deadline, now + kDrawingPollInterval));
}

}  // namespace kinolux
